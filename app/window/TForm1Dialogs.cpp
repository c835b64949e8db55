// The message dialog, the online help and the about dialog.
#include "app/window/TForm1.h"

#include "app/window/ApplicationError.h"
#include "app/dialogs/DialogEntries.h"
#include "app/dialogs/DialogPrompts.h"
#include "app/dialogs/HelpOpener.h"
#include "app/window/UiPrompts.h"

using namespace corvanel::window;

namespace {

// The dialogs ask their questions through the window's prompts, so that one answer source
// (the real boxes, or a test's script) serves the whole program.
class WindowDialogPrompts final : public corvanel::dialogs::DialogPrompts {
  public:
    explicit WindowDialogPrompts(UiPrompts& prompts) : FPrompts(prompts) {}

    bool AskYesNo(QWidget*, const QString& question) override {
        return FPrompts.Ask(question, PromptIcon::Question) == PromptAnswer::Yes;
    }
    void Information(QWidget*, const QString& text) override { FPrompts.Inform(text); }
    void Error(QWidget*, const QString& text) override { FPrompts.Error(text); }
    void ShowError(const QString& message) override { ShowApplicationError(message); }

  private:
    UiPrompts& FPrompts;
};

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
    WindowDialogPrompts prompts(Prompts());
    corvanel::dialogs::ShowSendMessageDialog(this, prompts);
}

void TForm1::Button7Click(QObject*) {
    WindowDialogPrompts prompts(Prompts());
    corvanel::dialogs::AskAndOpenHelp(this, prompts, OpenerIn(FHelpOpener));
}

void TForm1::VersionLabelClick(QObject*) {
    corvanel::dialogs::ShowVersionDialog(this, OpenerIn(FHelpOpener));
}
