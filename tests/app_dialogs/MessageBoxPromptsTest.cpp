// The real boxes behind the prompts of the window and its dialogs: the program's title as the
// caption, each kind's icon and buttons, the box's parent, and the answer read back.
#include "app/dialogs/ProgramVersion.h"
#include "app/dialogs/UiPrompts.h"
#include "tests/app_dialogs/DialogTestSupport.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace corvanel::dialogs {
namespace {

struct SeenBox {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
};

// Once the next modal box is up, notes what it shows and closes it with `button`, or without
// one (NoButton).
void CloseNextBox(SeenBox& seen, QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        seen = {true,        box->windowTitle(),     box->text(),
                box->icon(), box->standardButtons(), box->parentWidget()};
        if (button == QMessageBox::NoButton)
            box->done(QDialog::Rejected);
        else
            box->button(button)->click();
    });
}

enum class Parent { Owner, ActiveWindow };

struct BoxCase {
    const char* name;
    // What the window or a dialog calls; the answer matters for questions only.
    std::function<PromptAnswer(UiPrompts&, const QString&)> call;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton closeWith;
    PromptAnswer answer;
    Parent parent;
};

class MessageBoxes : public testing::TestWithParam<BoxCase> {
  protected:
    void SetUp() override { test::TestApp(); }
};

TEST_P(MessageBoxes, ShowTheProgramsTitleAndTheKindsIconAndButtons) {
    const BoxCase& c = GetParam();
    QWidget owner;
    MessageBoxPrompts prompts(&owner);
    const QString text = QStringLiteral("書き出しが完了しました。");
    SeenBox seen;
    CloseNextBox(seen, c.closeWith);
    QWidget* const active = QApplication::activeWindow();
    const PromptAnswer answer = c.call(prompts, text);

    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, QString::fromUtf8(kProgramTitle));
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.buttons, c.buttons);
    EXPECT_EQ(seen.parent, c.parent == Parent::Owner ? &owner : active);
    EXPECT_EQ(answer, c.answer);
}

PromptAnswer Asks(PromptIcon icon, UiPrompts& prompts, const QString& text) {
    return prompts.Ask(text, icon);
}

template <void (UiPrompts::*Show)(const QString&)>
PromptAnswer Shows(UiPrompts& prompts, const QString& text) {
    (prompts.*Show)(text);
    return PromptAnswer::Other;
}

using namespace std::placeholders;
constexpr auto kYesNo = QMessageBox::Yes | QMessageBox::No;

INSTANTIATE_TEST_SUITE_P(
    Kinds, MessageBoxes,
    testing::Values(
        BoxCase{"AskQuestionYes", std::bind(Asks, PromptIcon::Question, _1, _2),
                QMessageBox::Question, kYesNo, QMessageBox::Yes, PromptAnswer::Yes, Parent::Owner},
        BoxCase{"AskInformationNo", std::bind(Asks, PromptIcon::Information, _1, _2),
                QMessageBox::Information, kYesNo, QMessageBox::No, PromptAnswer::No, Parent::Owner},
        BoxCase{"AskWarningClosedOtherwise", std::bind(Asks, PromptIcon::Warning, _1, _2),
                QMessageBox::Warning, kYesNo, QMessageBox::NoButton, PromptAnswer::Other,
                Parent::Owner},
        BoxCase{"AskErrorYes", std::bind(Asks, PromptIcon::Error, _1, _2), QMessageBox::Critical,
                kYesNo, QMessageBox::Yes, PromptAnswer::Yes, Parent::Owner},
        BoxCase{"Inform", Shows<&UiPrompts::Inform>, QMessageBox::Information, QMessageBox::Ok,
                QMessageBox::Ok, PromptAnswer::Other, Parent::Owner},
        BoxCase{"Warn", Shows<&UiPrompts::Warn>, QMessageBox::Warning, QMessageBox::Ok,
                QMessageBox::Ok, PromptAnswer::Other, Parent::Owner},
        BoxCase{"Error", Shows<&UiPrompts::Error>, QMessageBox::Critical, QMessageBox::Ok,
                QMessageBox::Ok, PromptAnswer::Other, Parent::Owner},
        BoxCase{"ShowFailure", Shows<&UiPrompts::ShowFailure>, QMessageBox::Critical,
                QMessageBox::Ok, QMessageBox::Ok, PromptAnswer::Other, Parent::ActiveWindow}),
    [](const testing::TestParamInfo<BoxCase>& row) { return std::string(row.param.name); });

} // namespace
} // namespace corvanel::dialogs
