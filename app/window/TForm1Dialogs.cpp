// The message dialog, the online help and the about dialog.
#include "app/window/TForm1.h"

#include "app/dialogs/DialogEntries.h"
#include "app/dialogs/HelpOpener.h"

namespace {

corvanel::dialogs::HelpOpener& OpenerIn(std::shared_ptr<corvanel::dialogs::HelpOpener>& slot) {
    if (!slot)
        slot = std::make_shared<corvanel::dialogs::DesktopHelpOpener>();
    return *slot;
}

} // namespace

void TForm1::SetHelpOpener(std::shared_ptr<corvanel::dialogs::HelpOpener> opener) {
    FHelpOpener = std::move(opener);
}

void TForm1::Button6Click(QObject*) {
    corvanel::dialogs::ShowSendMessageDialog(this, Prompts());
}

void TForm1::Button7Click(QObject*) {
    corvanel::dialogs::AskAndOpenHelp(this, Prompts(), OpenerIn(FHelpOpener));
}

void TForm1::VersionLabelClick(QObject*) {
    corvanel::dialogs::ShowVersionDialog(this, OpenerIn(FHelpOpener));
}
