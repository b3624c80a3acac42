// Qt's own texts (the buttons of message boxes, the standard dialogs) in
// Japanese, as the program's own texts are.
#pragma once

class QCoreApplication;

namespace velkor::ui {

// Installs Qt's Japanese translations for the application; false when they
// are not installed on this machine (Qt's English texts then stay).
bool InstallJapaneseTranslations(QCoreApplication& app);

}  // namespace velkor::ui
