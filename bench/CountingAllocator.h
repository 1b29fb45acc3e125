#pragma once

// Counts heap allocations made through operator new in a benchmark program,
// so a benchmark can report how many its measured path makes.

namespace corvane::bench {

long long allocationCount();

}  // namespace corvane::bench
