#pragma once

// The digital time's default typeface on this computer.

#include <QString>

namespace corvane {

// The family fontconfig gives for the generic "sans-serif": a font every
// Linux desktop has, and the one its user chose as sans-serif. Asked once a
// GUI application exists; until then (and in a program without one) the
// generic name itself, which Qt resolves the same way.
QString platformDefaultFontFamily();

// True when a font family of exactly this name is installed. Without a GUI
// application nothing can be asked: true, so nothing is replaced blindly.
bool isFontFamilyInstalled(const QString& family);

// `stored`, unless it is "Helvetica Neue" — the default of settings written
// on another system — and no such family is installed here: then
// platformDefaultFontFamily(). A family the user chose is never replaced,
// installed or not.
QString fontFamilyHere(const QString& stored);

}  // namespace corvane
