#include "app/dialogs/DialogEntries.h"
#include "tests/app_dialogs/DialogTestSupport.h"
#include "app/widgets/LinkLabel.h"
#include "app/dialogs/TFormSendMessage.h"
#include "app/dialogs/TVersionDlg.h"

#include <QFile>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace corvanel::dialogs {
namespace {

using corvanel::test::PromptCall;
using corvanel::test::ScriptedPrompts;
using test::RecordingOpener;

class Dialogs : public testing::Test {
  protected:
    void SetUp() override { test::TestApp(); }
};

void ExpectLook(const QLabel& label, bool hovered) {
    EXPECT_EQ(label.font().underline(), hovered);
    EXPECT_FALSE(label.font().bold());
    EXPECT_FALSE(label.font().italic());
    EXPECT_EQ(label.palette().color(QPalette::WindowText).rgba(),
              hovered ? 0xFF0000FFu : 0xFF000000u);
}

TEST_F(Dialogs, VersionLabelHoverUnderlinesInBlueAndRestoresPlainBlack) {
    QLabel versionLabel(QStringLiteral("Ver. 1.03"));
    QFont bold = versionLabel.font();
    bold.setBold(true);
    versionLabel.setFont(bold);
    VersionLabelHover(&versionLabel, true);
    ExpectLook(versionLabel, true);
    VersionLabelHover(&versionLabel, false);
    ExpectLook(versionLabel, false);
}

TEST_F(Dialogs, HomePageLinkHoversAndOpensThroughTheOpener) {
    RecordingOpener opener;
    TVersionDlg dialog(nullptr, opener);
    ExpectLook(*dialog.Label3, false);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(dialog.Label3, &enter);
    ExpectLook(*dialog.Label3, true);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(dialog.Label3, &leave);
    ExpectLook(*dialog.Label3, false);

    EXPECT_TRUE(opener.opened.empty());
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(dialog.Label3, &click);
    }
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], HomePageAddress());
}

TEST_F(Dialogs, VersionDialogShowsTheVersionSetAtCreation) {
    RecordingOpener opener;
    TVersionDlg dialog(nullptr, opener);
    EXPECT_EQ(dialog.Label2->text(), QStringLiteral("1.03 (x64)"));
    EXPECT_EQ(dialog.size(), QSize(454, 280));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog.Label4->text(),
              QStringLiteral("Built with Qt 6, FFmpeg, SoundTouch, SDL 2 and libsndfile."));
    EXPECT_TRUE(dialog.Label5->text().contains(QStringLiteral("GPL-3.0-or-later")));
}

struct HelpCase {
    const char* name;
    bool answerYes;
    size_t opened;
};

class HelpQuestion : public Dialogs, public testing::WithParamInterface<HelpCase> {};

TEST_P(HelpQuestion, OpensTheManualOnlyOnYes) {
    ScriptedPrompts prompts;
    prompts.answer = GetParam().answerYes ? PromptAnswer::Yes : PromptAnswer::No;
    RecordingOpener opener;
    AskAndOpenHelp(nullptr, prompts, opener);
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(prompts.calls[0].kind, PromptCall::Kind::Ask);
    EXPECT_EQ(prompts.calls[0].text, QStringLiteral("オンラインヘルプを開きますか？"));
    ASSERT_EQ(opener.opened.size(), GetParam().opened);
    if (GetParam().opened == 1) {
        EXPECT_EQ(opener.opened[0], ManualAddress());
        EXPECT_TRUE(opener.opened[0].toLocalFile().endsWith(QStringLiteral("/manual.html")));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, HelpQuestion,
                         testing::Values(HelpCase{"Yes", true, 1}, HelpCase{"NotYes", false, 0}),
                         [](const testing::TestParamInfo<HelpCase>& row) {
                             return std::string(row.param.name);
                         });

// Opens a dialog through its entry function and looks at it while it is modal.
struct ShownDialog {
    QPoint position;
    QSize size;
    QWidget* parent = nullptr;
    bool modal = false;
    QPointer<QWidget> dialog;
};

ShownDialog ShowAndClose(const std::function<void()>& open) {
    ShownDialog seen;
    QTimer::singleShot(0, [&seen] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;
        seen.position = dialog->geometry().topLeft();
        seen.size = dialog->size();
        seen.parent = dialog->parentWidget();
        seen.modal = dialog->isModal();
        seen.dialog = dialog;
        dialog->close();
    });
    open();
    return seen;
}

struct CentringCase {
    const char* name;
    std::function<void(QWidget*)> open;
    QPoint expected;
};

class Centring : public Dialogs, public testing::WithParamInterface<CentringCase> {};

TEST_P(Centring, DialogIsOwnedCentredModalAndReleased) {
    QWidget mainWindow;
    mainWindow.setGeometry(100, 100, 600, 500);
    mainWindow.show();
    ASSERT_EQ(mainWindow.geometry(), QRect(100, 100, 600, 500));

    const ShownDialog seen = ShowAndClose([&] { GetParam().open(&mainWindow); });
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(seen.parent, &mainWindow);
    EXPECT_EQ(seen.position, GetParam().expected);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(seen.dialog.isNull()) << "the dialog is released when it closes";
}

RecordingOpener centringOpener;
ScriptedPrompts centringPrompts;

INSTANTIATE_TEST_SUITE_P(
    Dialogs, Centring,
    testing::Values(
        // (600 - 454) / 2 = 73 and (500 - 280) / 2 = 110.
        CentringCase{"Version", [](QWidget* w) { ShowVersionDialog(w, centringOpener); },
                     QPoint(173, 210)},
        // (600 - 406) / 2 = 97 and (500 - 249) / 2 = 125.5, which rounds to the even 126.
        CentringCase{"SendMessage",
                     [](QWidget* w) {
                         ShowSendMessageDialog(w, centringPrompts,
                                               {"http://127.0.0.1:9/", std::chrono::seconds(1)});
                     },
                     QPoint(197, 226)}),
    [](const testing::TestParamInfo<CentringCase>& row) { return std::string(row.param.name); });

TEST_F(Dialogs, EveryOpeningOfTheMessageDialogStartsEmpty) {
    ScriptedPrompts prompts;
    const MessageSenderSettings settings{"http://127.0.0.1:9/", std::chrono::seconds(1)};
    for (int opening = 0; opening < 2; ++opening) {
        QString memo = QStringLiteral("unset");
        QTimer::singleShot(0, [&memo] {
            auto* dialog = qobject_cast<TFormSendMessage*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            memo = dialog->Memo1->toPlainText();
            dialog->Memo1->setPlainText(QStringLiteral("typed but not sent"));
            dialog->Button2->click();
        });
        ShowSendMessageDialog(nullptr, prompts, settings);
        EXPECT_EQ(memo, QString()) << "opening " << opening;
    }
    EXPECT_TRUE(prompts.calls.empty());
}

TEST(Manual, InstalledPageHasTheSectionsAndRenderedTables) {
    QFile page(QStringLiteral(CORVANEL_MANUAL_HTML));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << CORVANEL_MANUAL_HTML;
    const QString html = QString::fromUtf8(page.readAll());
    for (const char* heading :
         {"Keyboard commands", "Settings file", "Troubleshooting", "Export", "Key and tempo"})
        EXPECT_TRUE(html.contains(QStringLiteral("<h2 id=")) &&
                    html.contains(QLatin1String(heading)))
            << heading;
    EXPECT_TRUE(html.contains(QStringLiteral("<table>")));
    EXPECT_FALSE(html.contains(QStringLiteral("\n| "))) << "a table was left as Markdown";
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\"").arg(target)))
            << "dangling link #" << target.toStdString();
    }
}

} // namespace
} // namespace corvanel::dialogs
