// The header's buttons and the version label open their dialogs; the help opens only on Yes.
#include "tests/support/window/FormFixture.h"

#include "app/dialogs/HelpOpener.h"
#include "app/widgets/PictureButton.h"
#include "app/dialogs/TFormSendMessage.h"
#include "app/dialogs/TVersionDlg.h"

#include <QDialog>
#include <QLabel>
#include <QTimer>

using corvanel::dialogs::PromptAnswer;
using corvanel::dialogs::PromptIcon;

namespace {

class RecordingOpener : public corvanel::dialogs::HelpOpener {
  public:
    void Open(const QUrl& address) override { opened << address; }
    QList<QUrl> opened;
};

class DialogWiring : public CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        opener = std::make_shared<RecordingOpener>();
        form->SetHelpOpener(opener);
    }

    // Runs `open`, and once its modal dialog is up, notes what it is and closes it.
    template <typename Open> QDialog* OpenAndClose(Open&& open, QString* className) {
        QDialog* seen = nullptr;
        QTimer::singleShot(0, form.get(), [&] {
            seen = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (seen) {
                *className = QString::fromLatin1(seen->metaObject()->className());
                EXPECT_EQ(seen->parentWidget(), form.get());
                seen->reject();
            }
        });
        open();
        return seen;
    }

    std::shared_ptr<RecordingOpener> opener;
};

struct HelpCase {
    const char* name;
    PromptAnswer answer;
    bool opens;
};

class HelpAnswers : public DialogWiring, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(HelpAnswers, OpensTheManualOnlyOnYes) {
    prompts->answer = GetParam().answer;
    QTest::mouseClick(form->Button7, Qt::LeftButton);
    EXPECT_EQ(prompts->asked, QStringList{QStringLiteral("オンラインヘルプを開きますか？")});
    EXPECT_EQ(prompts->icons.value(0), PromptIcon::Question);
    if (GetParam().opens)
        EXPECT_EQ(opener->opened, QList<QUrl>{corvanel::dialogs::ManualAddress()});
    else
        EXPECT_TRUE(opener->opened.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, HelpAnswers,
                         ::testing::Values(HelpCase{"Yes", PromptAnswer::Yes, true},
                                           HelpCase{"No", PromptAnswer::No, false},
                                           HelpCase{"ClosedOtherwise", PromptAnswer::Other, false}),
                         [](const ::testing::TestParamInfo<HelpCase>& p) {
                             return std::string(p.param.name);
                         });

TEST_F(DialogWiring, MessageButtonOpensTheMessageDialogOverTheWindow) {
    QString className;
    EXPECT_NE(OpenAndClose([&] { QTest::mouseClick(form->Button6, Qt::LeftButton); }, &className),
              nullptr);
    EXPECT_EQ(className, QStringLiteral("corvanel::dialogs::TFormSendMessage"));
    EXPECT_TRUE(prompts->asked.isEmpty());
}

TEST_F(DialogWiring, VersionLabelOpensTheAboutBox) {
    QString className;
    EXPECT_NE(
        OpenAndClose([&] { QTest::mouseClick(form->VersionLabel, Qt::LeftButton); }, &className),
        nullptr);
    EXPECT_EQ(className, QStringLiteral("corvanel::dialogs::TVersionDlg"));
    EXPECT_TRUE(opener->opened.isEmpty());
}

} // namespace
