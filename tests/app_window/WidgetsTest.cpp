#include "app/window/ApplicationError.h"
#include "app/widgets/BusyIndicator.h"
#include "app/widgets/CaptionPanel.h"
#include "app/widgets/Expander.h"
#include "app/widgets/PaintBox.h"
#include "app/widgets/ToggleSwitch.h"
#include "tests/support/window/ScriptedPrompts.h"

#include <QEnterEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace corvanel::window;

namespace {

TEST(ToggleSwitch, SwitchesOnUserClicksAndOnProgramChangesOnly) {
    ToggleSwitch toggle;
    toggle.resize(41, 17);
    QSignalSpy switched(&toggle, &ToggleSwitch::Switched);

    QTest::mouseClick(&toggle, Qt::LeftButton, {}, QPoint(20, 8));
    EXPECT_TRUE(toggle.IsChecked());
    toggle.SetChecked(true); // unchanged
    toggle.SetChecked(false);
    EXPECT_FALSE(toggle.IsChecked());
    EXPECT_EQ(switched.count(), 2);
}

TEST(CaptionPanel, ClickableOnesGlowOnHoverAndReportAClick) {
    CaptionPanel panel(QStringLiteral("定位"), QStringLiteral("(対象のパンポット)"),
                       CaptionPanel::Style::Callout, true);
    panel.resize(121, 49);
    QSignalSpy clicked(&panel, &CaptionPanel::Clicked);
    EXPECT_EQ(panel.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(panel.Glowing());

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&panel, &enter);
    EXPECT_TRUE(panel.Glowing());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&panel, &leave);
    EXPECT_FALSE(panel.Glowing());

    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(60, 30));
    EXPECT_EQ(clicked.count(), 1);
    // A press that is let go outside the panel is no click.
    QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(60, 30));
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(300, 30));
    EXPECT_EQ(clicked.count(), 1);
}

TEST(CaptionPanel, APlainCaptionNeitherGlowsNorClicks) {
    CaptionPanel panel(QStringLiteral("FFT処理点数"), QString(), CaptionPanel::Style::Callout,
                       false);
    panel.resize(145, 33);
    QSignalSpy clicked(&panel, &CaptionPanel::Clicked);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&panel, &enter);
    EXPECT_FALSE(panel.Glowing());
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_NE(panel.cursor().shape(), Qt::PointingHandCursor);
}

TEST(Expander, FoldsToItsHeaderAndReportsEverySize) {
    Expander expander(QStringLiteral("リデュース設定"), 224);
    expander.resize(505, 249);
    expander.show();
    QSignalSpy resized(&expander, &Expander::Resized);

    expander.SetExpanded(false);
    EXPECT_EQ(expander.height(), Expander::HeaderHeight);
    EXPECT_FALSE(expander.Content()->isVisibleTo(&expander));
    expander.SetExpanded(false); // no change, no report
    expander.SetExpanded(true);
    EXPECT_EQ(expander.height(), 249);
    expander.hide(); // off screen it reports at once too
    expander.SetExpanded(false);
    EXPECT_EQ(expander.height(), Expander::HeaderHeight);
    expander.SetExpanded(true);
    expander.show();
    EXPECT_TRUE(expander.Content()->isVisibleTo(&expander));
    EXPECT_GE(resized.count(), 4);

    // A click on the bare header folds it too.
    QTest::mouseClick(expander.Header(), Qt::LeftButton, {}, QPoint(200, 12));
    EXPECT_FALSE(expander.IsExpanded());
}

TEST(BusyIndicator, RunsExactlyWhileEnabled) {
    BusyIndicator indicator;
    indicator.setEnabled(false);
    EXPECT_FALSE(indicator.IsRunning());
    indicator.setEnabled(true);
    EXPECT_TRUE(indicator.IsRunning());
    indicator.setEnabled(false);
    EXPECT_FALSE(indicator.IsRunning());
}

TEST(PaintBox, PaintsBlackThenCallsItsHook) {
    PaintBox box;
    box.resize(71, 71);
    int calls = 0;
    box.OnPaint = [&calls](QPainter& painter) {
        ++calls;
        painter.fillRect(QRect(0, 0, 10, 10), Qt::green);
    };
    const QImage image = box.grab().toImage();
    EXPECT_GE(calls, 1);
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(40, 40), QColor(Qt::black));
}

// An object whose event handler fails the way a window handler may.
class FailingObject : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("ファイルを開けません");
        return QObject::event(e);
    }
};

class ErrorDisplay : public ::testing::Test {
  protected:
    void SetUp() override { SetApplicationPrompts(&prompts); }
    void TearDown() override { SetApplicationPrompts(nullptr); }
    corvanel::test::ScriptedPrompts prompts;
    QStringList& shown = prompts.failures;
};

TEST_F(ErrorDisplay, AnExceptionFromAnEventHandlerIsShownAndTheLoopGoesOn) {
    FailingObject failing;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QApplication::sendEvent(&failing, &event));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front(), QStringLiteral("ファイルを開けません"));
}

TEST_F(ErrorDisplay, AnExceptionFromATimerHandlerIsShown) {
    bool after = false;
    QTimer::singleShot(0, qApp, [] { throw std::runtime_error("エンコーダーが不明です"); });
    QTimer::singleShot(0, qApp, [&after] { after = true; });
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front(), QStringLiteral("エンコーダーが不明です"));
    EXPECT_TRUE(after);
}

} // namespace
