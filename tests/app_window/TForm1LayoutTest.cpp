// Every control where the window puts it, with its caption, range, step and start value.
#include "app/widgets/BusyIndicator.h"
#include "app/widgets/CalloutPanel.h"
#include "app/widgets/CaptionPanel.h"
#include "app/widgets/Decorations.h"
#include "app/widgets/Expander.h"
#include "app/widgets/FloatTrackBar.h"
#include "tests/support/window/FormFixture.h"
#include "app/widgets/PictureButton.h"
#include "app/widgets/ToggleSwitch.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <limits>

using namespace corvanel::window;

namespace {

enum class Frame { Form, Group, Content, Callout, Overlay };

struct Placement {
    const char* control;
    Frame frame;
    QRect rect;
};

// Places from the top left of the window, the player group, the expander's content area
// (below its header), the debug callout or the busy overlay.
const Placement Placements[] = {
    {"Image6", Frame::Form, {0, 0, 523, 60}},
    {"Line1", Frame::Form, {0, 60, 523, 3}},
    {"VersionLabel", Frame::Form, {424, 11, 56, 17}},
    {"Button7", Frame::Form, {480, 9, 33, 21}},
    {"Button6", Frame::Form, {416, 32, 97, 22}},
    {"Image1", Frame::Form, {16, 72, 76, 20}},
    {"Edit1", Frame::Form, {96, 72, 225, 21}},
    {"Button1", Frame::Form, {328, 72, 57, 21}},
    {"Image2", Frame::Form, {16, 96, 76, 20}},
    {"Edit2", Frame::Form, {96, 96, 225, 21}},
    {"Button2", Frame::Form, {328, 96, 57, 21}},
    {"Line2", Frame::Form, {392, 72, 9, 45}},
    {"QualitySelecter", Frame::Form, {400, 72, 68, 25}},
    {"ProgressBar1", Frame::Form, {399, 98, 70, 20}},
    {"Button5", Frame::Form, {472, 72, 41, 45}},
    {"GroupBox1", Frame::Form, {8, 128, 505, 113}},
    {"Image3", Frame::Form, {32, 128, 145, 17}},
    {"Panel8", Frame::Group, {24, 24, 73, 73}},
    {"PaintBox1", Frame::Group, {25, 25, 71, 71}},
    {"VolumeBar", Frame::Group, {104, 24, 20, 73}},
    {"TrackPosition", Frame::Group, {136, 32, 345, 20}},
    {"ProcessingButton", Frame::Group, {136, 56, 105, 41}},
    {"Button4", Frame::Group, {248, 56, 121, 41}},
    {"Label17", Frame::Group, {376, 56, 104, 41}},
    {"Expander1", Frame::Form, {8, 248, 505, 249}},
    {"Switch1", Frame::Content, {24, 8, 41, 17}},
    {"Label1", Frame::Content, {8, 24, 73, 17}},
    {"Switch2", Frame::Content, {24, 48, 41, 17}},
    {"Label6", Frame::Content, {16, 64, 57, 17}},
    {"TrackAParam", Frame::Content, {88, 5, 121, 20}},
    {"Panel1", Frame::Content, {88, 24, 121, 49}},
    {"TrackPParam", Frame::Content, {216, 5, 121, 20}},
    {"Panel2", Frame::Content, {216, 24, 121, 49}},
    {"TrackPanPot", Frame::Content, {344, 5, 121, 20}},
    {"Panel3", Frame::Content, {344, 24, 121, 49}},
    {"PopboxFFT", Frame::Content, {24, 86, 145, 22}},
    {"Panel5", Frame::Content, {24, 112, 145, 33}},
    {"SpinKeyChange", Frame::Content, {176, 88, 145, 22}},
    {"Panel4", Frame::Content, {176, 112, 145, 33}},
    {"TrackTempo", Frame::Content, {328, 88, 145, 18}},
    {"Panel6", Frame::Content, {328, 112, 145, 33}},
    {"Freqbar1", Frame::Content, {24, 160, 377, 9}},
    {"Label13", Frame::Content, {408, 153, 64, 17}},
    {"Freqbar2", Frame::Content, {24, 176, 377, 9}},
    {"Label14", Frame::Content, {409, 172, 64, 17}},
    {"Panel7", Frame::Content, {24, 192, 449, 21}},
    {"CheckBox1", Frame::Content, {384, -24, 120, 19}},
    {"CalloutPanel1", Frame::Content, {200, -264, 216, 241}},
    {"Memo1", Frame::Callout, {0, 3, 216, 222}},
    {"WritingView", Frame::Form, {0, 0, 523, 512}},
    {"AniIndicator1", Frame::Overlay, {72, 216, 121, 81}},
    {"Label19", Frame::Overlay, {136, 216, 345, 41}},
    {"CornerButton1", Frame::Overlay, {216, 256, 169, 33}},
};

TEST_F(FormTest, EveryControlIsAtItsPlaceWithItsSize) {
    const QWidget* frames[] = {form.get(), form->GroupBox1, form->Expander1->Content(),
                               form->CalloutPanel1, form->WritingView};
    for (const Placement& p : Placements) {
        const QWidget* control = Control(p.control);
        if (!control)
            continue;
        EXPECT_EQ(RectIn(control, frames[static_cast<int>(p.frame)]), p.rect) << p.control;
    }
    // The debug callout, in window terms, spans x 208 to 424 and y 9 to 250.
    EXPECT_EQ(RectIn(form->CalloutPanel1, form.get()), QRect(208, 9, 216, 241));
}

struct Bar {
    const char* control;
    Qt::Orientation orientation;
    float min;
    float max;
    float frequency;
    float start; // NaN: placed by start-up, not by the window
    bool tracking;
};

const float ByStartUp = std::numeric_limits<float>::quiet_NaN();

const Bar Bars[] = {
    {"VolumeBar", Qt::Vertical, 0, 90, 0.1f, 20, true},
    {"TrackPosition", Qt::Horizontal, 0, 0, 0, 0, false},
    {"TrackAParam", Qt::Horizontal, 0, 70, 0, 70, true},
    {"TrackPParam", Qt::Horizontal, 1, 60, 0.1f, 15, true},
    {"TrackPanPot", Qt::Horizontal, -20, 20, 0, 0, true},
    {"TrackTempo", Qt::Horizontal, -0.301f, 0.301f, 0, 0, true},
    {"Freqbar1", Qt::Horizontal, 1, 4.380210876464844f, 0, ByStartUp, true},
    {"Freqbar2", Qt::Horizontal, 1, 4.380211353302002f, 0, ByStartUp, true},
};

TEST_F(FormTest, TrackAndScrollBarsHoldTheirRangeStepAndStartValue) {
    for (const Bar& b : Bars) {
        auto* bar = Control<FloatTrackBar>(b.control);
        if (!bar)
            continue;
        EXPECT_EQ(bar->Orientation(), b.orientation) << b.control;
        EXPECT_EQ(bar->Min(), b.min) << b.control;
        EXPECT_EQ(bar->Max(), b.max) << b.control;
        EXPECT_EQ(bar->Frequency(), b.frequency) << b.control;
        EXPECT_EQ(bar->Tracking(), b.tracking) << b.control;
        EXPECT_EQ(bar->Tag(), 0) << b.control;
        if (!std::isnan(b.start)) {
            EXPECT_EQ(bar->Value(), b.start) << b.control;
        }
    }
    EXPECT_EQ(form->TrackTempo->BarKind(), FloatTrackBar::Kind::ScrollBar);
    EXPECT_EQ(form->Freqbar1->BarKind(), FloatTrackBar::Kind::ThinScrollBar);
    EXPECT_EQ(form->Freqbar2->BarKind(), FloatTrackBar::Kind::ThinScrollBar);
}

TEST_F(FormTest, ListsSpinBoxSwitchesAndProgressStartAsDesigned) {
    EXPECT_EQ(form->SpinKeyChange->minimum(), -7.0);
    EXPECT_EQ(form->SpinKeyChange->maximum(), 7.0);
    EXPECT_EQ(form->SpinKeyChange->singleStep(), 1.0);
    EXPECT_EQ(form->SpinKeyChange->value(), 0.0);

    ASSERT_EQ(form->PopboxFFT->count(), 3);
    EXPECT_EQ(form->PopboxFFT->itemText(0), QStringLiteral("低精度 (8192 samples)"));
    EXPECT_EQ(form->PopboxFFT->itemText(1), QStringLiteral("中精度 (16384 samples)"));
    EXPECT_EQ(form->PopboxFFT->itemText(2), QStringLiteral("高精度 (32768 samples)"));
    EXPECT_EQ(form->PopboxFFT->currentIndex(), 1);

    ASSERT_EQ(form->QualitySelecter->count(), 3);
    EXPECT_EQ(form->QualitySelecter->itemText(0), QStringLiteral("高圧縮"));
    EXPECT_EQ(form->QualitySelecter->itemText(1), QStringLiteral("ノーマル"));
    EXPECT_EQ(form->QualitySelecter->itemText(2), QStringLiteral("低圧縮"));
    EXPECT_EQ(form->QualitySelecter->currentIndex(), 1);

    EXPECT_FALSE(form->Switch1->IsChecked());
    EXPECT_FALSE(form->Switch2->IsChecked());
    EXPECT_FALSE(form->CheckBox1->isChecked());
    EXPECT_EQ(form->ProgressBar1->minimum(), 0);
    EXPECT_EQ(form->ProgressBar1->maximum(), 100);
    EXPECT_EQ(form->ProgressBar1->value(), 0);
    EXPECT_TRUE(form->Edit2->isReadOnly());
    EXPECT_FALSE(form->Edit1->isReadOnly());
    EXPECT_TRUE(form->Memo1->isReadOnly());
}

struct Caption {
    const char* control;
    const char* text;
    int pixelSize;
    bool bold;
};

const Caption Captions[] = {
    {"Button1", "開く", 12, false},
    {"Button2", "保存先", 12, false},
    {"Label15", "再生", 12, false},
    {"Label16", "一時停止", 12, false},
    {"Label17", "0:00:00", 24, false},
    {"Label18", "一言メッセージ", 10, false},
    {"Label1", "有効にする", 12, false},
    {"Label6", "逆モード", 12, false},
    {"Label3", "Aパラメーター", 12, true},
    {"Label2", "(左右の音量差判定)", 10, false},
    {"Label5", "Pパラメーター", 12, true},
    {"Label4", "(左右の位相差判定)", 10, false},
    {"Label8", "定位", 12, true},
    {"Label7", "(対象のパンポット)", 10, false},
    {"Label9", "FFT処理点数", 12, true},
    {"Label10", "キーチェンジ (半音単位)", 12, true},
    {"Label11", "テンポ", 12, true},
    {"Label12", "＜低音　リデュース対象バンド　高音＞", 12, true},
    {"Label19", "ファイルへ書き出しています", 22, true},
    {"Label20", "書き出しを中断する", 12, true},
    {"CheckBox1", "Debug Win.", 12, false},
};

TEST_F(FormTest, CaptionsAreTheJapaneseTextsInTheirSizes) {
    for (const Caption& c : Captions) {
        const QWidget* control = Control(c.control);
        if (!control)
            continue;
        QString text;
        if (auto* label = qobject_cast<const QLabel*>(control))
            text = label->text();
        else if (auto* button = qobject_cast<const QAbstractButton*>(control))
            text = button->text();
        EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.control;
        EXPECT_EQ(control->font().pixelSize(), c.pixelSize) << c.control;
        EXPECT_EQ(control->font().bold(), c.bold) << c.control;
    }
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Corvanel"));
    EXPECT_EQ(form->Expander1->Caption()->text(), QStringLiteral("リデュース設定"));
    EXPECT_EQ(form->GroupBox1->title(), QString(22, QChar(0x3000)));
    // Start-up replaces the design-time "LOW" and "HIGH" with the band edges.
    EXPECT_EQ(form->Label13->text(), QStringLiteral("200 Hz"));
    EXPECT_EQ(form->Label14->text(), QStringLiteral("16500 Hz"));
    // The interface font can draw Japanese.
    EXPECT_TRUE(QFontMetrics(form->Label1->font()).inFont(QChar(0x6709)));
}

struct Picture {
    const char* control;
    QSize size;
};

const Picture Pictures[] = {
    {"Image6", {523, 61}}, {"Image1", {76, 20}},  {"Image2", {76, 20}}, {"Image3", {145, 17}},
    {"Image4", {24, 24}},  {"Image5", {24, 24}},  {"Image7", {16, 16}}, {"Image8", {16, 16}},
    {"Image9", {24, 24}},  {"Image10", {35, 38}},
};

TEST_F(FormTest, PicturesAreDrawnAtTheirSizes) {
    for (const Picture& p : Pictures) {
        auto* label = Control<QLabel>(p.control);
        if (!label)
            continue;
        const QPixmap pixmap = label->pixmap();
        ASSERT_FALSE(pixmap.isNull()) << p.control;
        EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), p.size) << p.control;
        // Something was drawn: the artwork resources are linked in.
        const QImage image = pixmap.toImage();
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) > 0;
        EXPECT_TRUE(drawn) << p.control;
    }
}

TEST_F(FormTest, HiddenPartsTimersAndLooksAtStart) {
    EXPECT_FALSE(form->WritingView->isVisibleTo(form.get()));
    EXPECT_FALSE(form->CalloutPanel1->isVisibleTo(form.get()));
    EXPECT_FALSE(form->AniIndicator1->isEnabled());
    EXPECT_DOUBLE_EQ(form->WritingView->Opacity(), 0.7);
    EXPECT_DOUBLE_EQ(form->CalloutPanel1->Opacity(), 0.7);
    for (QWidget* button :
         {static_cast<QWidget*>(form->Button6), static_cast<QWidget*>(form->Button7)}) {
        auto* effect = qobject_cast<QGraphicsOpacityEffect*>(button->graphicsEffect());
        ASSERT_NE(effect, nullptr);
        EXPECT_DOUBLE_EQ(effect->opacity(), 0.6);
    }

    EXPECT_EQ(form->Timer1->interval(), 70);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer2->interval(), 1000);
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer3->interval(), 250);
    EXPECT_FALSE(form->Timer3->isActive());

    for (const char* name : {"Panel1", "Panel2", "Panel3", "Panel4", "Panel6", "Panel7"}) {
        auto* panel = Control<CaptionPanel>(name);
        ASSERT_NE(panel, nullptr);
        EXPECT_TRUE(panel->Clickable()) << name;
        EXPECT_EQ(panel->cursor().shape(), Qt::PointingHandCursor) << name;
    }
    EXPECT_FALSE(form->Panel5->Clickable());
    EXPECT_EQ(form->VersionLabel->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(form->Edit1->acceptDrops());
    EXPECT_TRUE(form->Image6->acceptDrops());
}

} // namespace
