// Qt's own texts (the buttons of message boxes, the folder dialog) in
// Turkish, from the translations Qt ships (Debian: qt6-translations-l10n).
#pragma once

// Loads Qt's Turkish translations into the running application. Call once
// after the QApplication exists. Returns false when they are not installed;
// Qt's texts then stay English.
bool installTurkishTranslations();
