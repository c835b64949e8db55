#pragma once
// Qt's own texts (file dialogs, standard buttons, network errors) in Japanese, like the rest
// of the interface, whatever the system's locale. UI thread, once at start-up.

class QCoreApplication;

namespace corvanel::window {

// False when Qt's Japanese translations are not installed; Qt's texts stay English then.
bool InstallQtJapanese(QCoreApplication& app);

} // namespace corvanel::window
