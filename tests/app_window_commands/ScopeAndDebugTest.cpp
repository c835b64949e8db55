// The scope as painted on the window, and the debug list's wiring to the check box, its timer
// and the live parameters.
#include "tests/support/window/FormFixture.h"
#include "tests/app_window_commands/KeyEvents.h"

#include "app/widgets/CalloutPanel.h"
#include "app/logic/DebugPanel.h"
#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/PaintBox.h"

#include "dsp/ReduceParams.h"

#include <QCheckBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstring>
#include <vector>

using namespace corvanel;

namespace {

class ScopeTest : public CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        form->SetScopeClock([this] { return nowMs; });
    }

    QImage Paint() const {
        const QImage image =
            form->PaintBox1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(image.size(), QSize(71, 71));
        return image;
    }

    // A block whose frames all have the given left sample and right 0, except that the left
    // runs from -full to +full across the block: a horizontal line through the middle.
    static std::vector<std::uint8_t> HorizontalSweep(int frames) {
        std::vector<std::uint8_t> block(std::size_t(frames) * 4);
        for (int j = 0; j < frames; ++j) {
            const auto left = static_cast<std::int16_t>(-32768 + (65535 * j) / (frames - 1));
            std::memcpy(&block[std::size_t(j) * 4], &left, 2);
        }
        return block;
    }

    std::int64_t nowMs = 1000;
};

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kDiagonal = qRgb(0, 128, 0);
const QRgb kTrace = qRgb(0, 255, 0);

TEST_F(ScopeTest, BeforeAnythingPlaysBlackWithTwoDimDiagonals) {
    const QImage image = Paint();
    EXPECT_EQ(image.pixel(0, 0), kDiagonal);
    EXPECT_EQ(image.pixel(20, 20), kDiagonal);
    for (int x : {2, 20, 50, 69}) // the other diagonal: x + y = w, give or take a pixel
        EXPECT_TRUE(image.pixel(x, 71 - x) == kDiagonal || image.pixel(x, 70 - x) == kDiagonal)
            << x;
    EXPECT_EQ(image.pixel(30, 10), kBlack);
    EXPECT_EQ(image.pixel(30, 35), kBlack);
    EXPECT_EQ(image.pixel(60, 35), kBlack);
    EXPECT_EQ(form->PaintBox1->Tag, nowMs); // a gated paint that found nothing to draw
}

TEST_F(ScopeTest, ABlockInTheTapIsTracedOnceThenTheBackgroundReturns) {
    Paint();
    const std::vector<std::uint8_t> block = HorizontalSweep(1024);
    form->ViewStream().Replace(block.data(), block.size());

    nowMs += 10; // within the interval: no trace yet, and the tag stays
    QImage image = Paint();
    EXPECT_EQ(image.pixel(30, 35), kBlack);
    EXPECT_EQ(form->PaintBox1->Tag, 1000);

    nowMs += 60;
    image = Paint();
    // Full scale reaches 0.95 of a quarter of the width from the centre: x 18.6 ... 52.4.
    int traced = 0;
    for (int x = 0; x < 71; ++x) {
        const QRgb p = image.pixel(x, 35);
        if (p == kTrace)
            ++traced;
        if (x < 18 || x > 53) {
            EXPECT_NE(p, kTrace) << x;
        }
    }
    EXPECT_GE(traced, 30);
    EXPECT_EQ(image.pixel(30, 10), kBlack);
    EXPECT_EQ(image.pixel(20, 20), kDiagonal);
    EXPECT_EQ(form->PaintBox1->Tag, 1070);

    nowMs += 70; // the block is used up
    image = Paint();
    EXPECT_EQ(image.pixel(30, 35), kBlack);
}

// Timer jitter or an expose can repaint sooner than a new trace is allowed: the trace that is
// up stays drawn instead of blinking out.
TEST_F(ScopeTest, ARepaintTooSoonForANewTraceDrawsTheLastTraceAgain) {
    Paint();
    std::vector<std::uint8_t> block = HorizontalSweep(1024);
    block.insert(block.end(), block.begin(), block.end()); // enough for two traces
    form->ViewStream().Replace(block.data(), block.size());
    const auto tracedPixels = [](const QImage& image) {
        int traced = 0;
        for (int x = 0; x < 71; ++x)
            traced += image.pixel(x, 35) == kTrace;
        return traced;
    };

    nowMs += 70;
    EXPECT_GE(tracedPixels(Paint()), 30);
    nowMs += 69; // one millisecond short of the interval
    EXPECT_GE(tracedPixels(Paint()), 30);
    EXPECT_EQ(form->PaintBox1->Tag, 1070);
}

TEST_F(ScopeTest, TheTimerRepaintsTheBox) {
    const std::vector<std::uint8_t> block = HorizontalSweep(512);
    form->ViewStream().Replace(block.data(), block.size());
    nowMs += 100;
    form->Timer1Timer(form->Timer1);
    QCoreApplication::processEvents(); // the repaint it asked for
    EXPECT_EQ(form->PaintBox1->Tag, nowMs);
    // The paint read the block: nothing is left for the next one.
    std::uint8_t rest[4];
    EXPECT_EQ(form->ViewStream().ReadUpTo(rest, sizeof rest), 0u);
    EXPECT_EQ(form->Timer1->interval(), 70);
    EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(CommandTest, TickingDebugShowsTheListAndRefreshesItFromTheParameters) {
    EXPECT_TRUE(form->CalloutPanel1->isHidden());
    EXPECT_FALSE(form->Timer3->isActive());

    form->CheckBox1->setChecked(true);
    EXPECT_FALSE(form->CalloutPanel1->isHidden());
    EXPECT_TRUE(form->Timer3->isActive());
    EXPECT_EQ(form->Timer3->interval(), 250);
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty()); // the first list comes at the tick

    form->TrackAParam->SetValue(41);
    Press(form.get(), uint16_t(kKeyCtrl | '2')); // moves the control, the handler the value
    form->Timer3Timer(form->Timer3);
    const QStringList lines = form->Memo1->toPlainText().split(u'\n');
    ASSERT_EQ(lines.size(), kDebugLineCount);
    EXPECT_EQ(lines[0], QStringLiteral("Corvanel ver1.03"));
    EXPECT_EQ(lines[4], QStringLiteral("FFTPoint:") + QString::number(VRFFTPoint.load()));
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("AParam  :42"))) << lines[5].toStdString();
    EXPECT_EQ(form->Memo1->font().families().value(0), QStringLiteral("Courier New"));

    form->CheckBox1->setChecked(false);
    EXPECT_TRUE(form->CalloutPanel1->isHidden());
    EXPECT_FALSE(form->Timer3->isActive());
    EXPECT_EQ(form->Memo1->toPlainText().split(u'\n'), lines); // keeps its last text

    // Quick toggling always ends where the box ends.
    for (bool on : {true, false, true, true, false, true})
        form->CheckBox1->setChecked(on);
    EXPECT_FALSE(form->CalloutPanel1->isHidden());
    EXPECT_TRUE(form->Timer3->isActive());
}

} // namespace
