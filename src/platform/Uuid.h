#pragma once

#include <QString>

namespace corvane {

// A fresh random identifier in upper-case text form, e.g.
// "3F2504E0-4F89-11D3-9A0C-0305E82C3301".
QString newUuidText();

}  // namespace corvane
