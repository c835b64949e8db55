#include "app/dialogs/DialogEntries.h"

#include "app/dialogs/FormPlacement.h"
#include "app/dialogs/HelpOpener.h"
#include "app/widgets/LinkLabel.h"
#include "app/dialogs/TFormSendMessage.h"
#include "app/dialogs/TVersionDlg.h"
#include "app/dialogs/UiPrompts.h"

#include <memory>

namespace corvanel::dialogs {

UiPrompts& DefaultPrompts() {
    static MessageBoxPrompts prompts;
    return prompts;
}

HelpOpener& DefaultHelpOpener() {
    static DesktopHelpOpener opener;
    return opener;
}

void ShowVersionDialog(QWidget* mainWindow, HelpOpener& opener) {
    const auto dialog = std::make_unique<TVersionDlg>(mainWindow, opener);
    UpdateFormPosition(dialog.get(), mainWindow);
    dialog->exec();
}

void ShowSendMessageDialog(QWidget* mainWindow, UiPrompts& prompts) {
    ShowSendMessageDialog(mainWindow, prompts, DefaultMessageSenderSettings());
}

void ShowSendMessageDialog(QWidget* mainWindow, UiPrompts& prompts,
                           const MessageSenderSettings& settings) {
    const auto dialog = std::make_unique<TFormSendMessage>(mainWindow, prompts, settings);
    UpdateFormPosition(dialog.get(), mainWindow);
    dialog->exec();
}

void AskAndOpenHelp(QWidget*, UiPrompts& prompts, HelpOpener& opener) {
    if (prompts.Ask(QStringLiteral("オンラインヘルプを開きますか？"), PromptIcon::Question) ==
        PromptAnswer::Yes)
        opener.Open(ManualAddress());
}

void VersionLabelHover(QLabel* versionLabel, bool entered) {
    ApplyLinkLook(versionLabel, entered ? LinkLook::Hovered : LinkLook::Resting);
}

} // namespace corvanel::dialogs
