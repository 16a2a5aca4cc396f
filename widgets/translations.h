// The German texts of Qt itself: the buttons of message boxes (Ja, Nein,
// Abbrechen), the file dialogs and the key names shown in menus (Strg+M,
// Einfg, Entf).
#pragma once

namespace talvera {

// Loads Qt's own German translation into the running application and makes
// German the default locale. False when the translation is not installed
// (the screen then shows Qt's English words).
bool InstallGermanTranslations();

}  // namespace talvera
