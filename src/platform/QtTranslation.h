#pragma once

// Qt draws some texts itself: the standard buttons of message boxes, the
// file and colour dialogs, the context menu of every text field. Those come
// from Qt's own German catalogue (Debian: qt6-translations-l10n).

#include <QString>

class QTranslator;

namespace corvane {

// Where Qt's catalogues are installed.
QString qtTranslationsFolder();

// Loads "qtbase_de" from `folder` and installs it in the running
// application, owned by it; call before the first window. Null when the
// catalogue is not there or unreadable: Qt's texts then stay English and
// nothing else changes.
QTranslator* installQtTranslation(const QString& folder = qtTranslationsFolder());

}  // namespace corvane
