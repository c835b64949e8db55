// The window's controls: places, sizes and captions; the ranges, steps and start values of
// those that carry a setting come from the table of controls.
#include "app/window/TForm1.h"

#include "app/widgets/Artwork.h"
#include "app/widgets/BusyIndicator.h"
#include "app/widgets/CalloutPanel.h"
#include "app/widgets/CaptionPanel.h"
#include "app/widgets/Decorations.h"
#include "app/widgets/Expander.h"
#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/PaintBox.h"
#include "app/widgets/PictureButton.h"
#include "app/widgets/ToggleSwitch.h"
#include "app/widgets/WholeItemComboBox.h"
#include "app/widgets/WindowLook.h"

#include "controls/ControlTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>

#include <cmath>

using namespace corvanel::window;
using corvanel::ControlId;
using corvanel::ControlRowOf;

namespace {

QLabel* MakeLabel(const QString& text, QWidget* parent, const QRect& geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    return label;
}

QLabel* MakePicture(const QString& art, QWidget* parent, const QRect& geometry, QSize artSize) {
    auto* picture = new QLabel(parent);
    picture->setGeometry(geometry);
    picture->setPixmap(RenderArt(art, artSize, parent->devicePixelRatioF()));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

void SetOpacity(QWidget* widget, double opacity) {
    auto* effect = new QGraphicsOpacityEffect(widget);
    effect->setOpacity(opacity);
    widget->setGraphicsEffect(effect);
}

FloatTrackBar* MakeBar(Qt::Orientation orientation, FloatTrackBar::Kind kind, QWidget* parent,
                       const QRect& geometry, float min, float max, float value) {
    auto* bar = new FloatTrackBar(orientation, kind, parent);
    bar->setGeometry(geometry);
    bar->SetRange(min, max);
    bar->SetValue(value);
    return bar;
}

// A bar of the table of controls: its range, design value, step and key step.
FloatTrackBar* MakeBar(Qt::Orientation orientation, FloatTrackBar::Kind kind, QWidget* parent,
                       const QRect& geometry, ControlId id) {
    const corvanel::ControlRow& row = ControlRowOf(id);
    FloatTrackBar* bar =
        MakeBar(orientation, kind, parent, geometry, static_cast<float>(row.Range.Min),
                static_cast<float>(row.Range.Max), static_cast<float>(row.Design));
    if (row.Range.Step > 0.0)
        bar->SetFrequency(static_cast<float>(row.Range.Step));
    bar->SetSmallChange(static_cast<float>(row.KeyStep));
    return bar;
}

// Twenty-two ideographic spaces: an empty caption strip that the title picture covers.
QString BlankCaption() {
    return QString(22, QChar(0x3000));
}

} // namespace

void TForm1::BuildHeader() {
    Image6 = MakePicture(QStringLiteral(":/art/banner.svg"), this, QRect(0, 0, ClientWidth, 60),
                         QSize(ClientWidth, 61));
    Image6->setAcceptDrops(true);
    Image6->installEventFilter(this);

    Line1 = new DashedLine(Qt::Horizontal, Look::DashedLine, this);
    Line1->setGeometry(0, 60, ClientWidth, 3);

    VersionLabel = MakeLabel(QStringLiteral("Ver 1.xx"), this, QRect(424, 11, 56, 17));
    VersionLabel->setCursor(Qt::PointingHandCursor);
    VersionLabel->installEventFilter(this);
    VersionLabelMouseLeave(VersionLabel);

    Button7 = new PictureButton(QStringLiteral(":/art/help.svg"), QSize(16, 16), QString(),
                                PictureButton::Placement::Centre, this);
    Button7->setGeometry(480, 9, 33, 21);
    Button7->setToolTip(QStringLiteral("オンラインヘルプ"));
    Image8 = Button7->Picture();
    SetOpacity(Button7, 0.6);

    Button6 = new PictureButton(QStringLiteral(":/art/message.svg"), QSize(16, 16),
                                QStringLiteral("一言メッセージ"), PictureButton::Placement::Left,
                                this, 4);
    Button6->setGeometry(416, 32, 97, 22);
    Image7 = Button6->Picture();
    Label18 = Button6->Caption();
    Label18->setFont(InterfaceFont(10));
    SetOpacity(Button6, 0.6);
}

void TForm1::BuildFileRows() {
    Image1 = MakePicture(QStringLiteral(":/art/tag-source.svg"), this, QRect(16, 72, 76, 20),
                         QSize(76, 20));
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(96, 72, 225, 21);
    Edit1->setAcceptDrops(true);
    Edit1->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("開く"), this);
    Button1->setGeometry(328, 72, 57, 21);

    Image2 = MakePicture(QStringLiteral(":/art/tag-destination.svg"), this, QRect(16, 96, 76, 20),
                         QSize(76, 20));
    Edit2 = new QLineEdit(this);
    Edit2->setGeometry(96, 96, 225, 21);
    Edit2->setReadOnly(true);
    Button2 = new QPushButton(QStringLiteral("保存先"), this);
    Button2->setGeometry(328, 96, 57, 21);

    Line2 = new DashedLine(Qt::Vertical, Look::DashedLine, this);
    Line2->setGeometry(392, 72, 9, 45);

    QualitySelecter = new WholeItemComboBox(this);
    QualitySelecter->setGeometry(400, 72, 68, 25);
    QualitySelecter->addItems(
        {QStringLiteral("高圧縮"), QStringLiteral("ノーマル"), QStringLiteral("低圧縮")});
    QualitySelecter->setCurrentIndex(1);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(399, 98, 70, 20);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Button5 = new PictureButton(QStringLiteral(":/art/export.svg"), QSize(35, 38), QString(),
                                PictureButton::Placement::Fill, this);
    Button5->setGeometry(472, 72, 41, 45);
    Button5->setToolTip(QStringLiteral("ファイルへ書き出す"));
    Button5->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
    Image10 = Button5->Picture();
}

void TForm1::BuildPlayer() {
    GroupBox1 = new PictureGroupBox(BlankCaption(), 20, 150, this);
    GroupBox1->setGeometry(8, 128, 505, 113);

    Panel8 = new QFrame(GroupBox1);
    Panel8->setGeometry(24, 24, 73, 73);
    Panel8->setStyleSheet(
        QStringLiteral("QFrame { background: #000000; border: 1px solid #3A4A60; }"));
    PaintBox1 = new PaintBox(Panel8);
    PaintBox1->setGeometry(1, 1, 71, 71);

    VolumeBar = MakeBar(Qt::Vertical, FloatTrackBar::Kind::TrackBar, GroupBox1,
                        QRect(104, 24, 20, 73), ControlId::VolumeBar);
    // Attenuation: the loudest end at the top.
    VolumeBar->Slider()->setInvertedAppearance(true);
    VolumeBar->Slider()->setInvertedControls(true);
    VolumeBar->setToolTip(QStringLiteral("音量"));

    TrackPosition = MakeBar(Qt::Horizontal, FloatTrackBar::Kind::TrackBar, GroupBox1,
                            QRect(136, 32, 345, 20), 0.0f, 0.0f, 0.0f);
    TrackPosition->SetTracking(false);
    TrackPosition->SetSmallChange(1.0f);

    ProcessingButton =
        new PictureButton(QStringLiteral(":/art/play.svg"), QSize(24, 24), QStringLiteral("再生"),
                          PictureButton::Placement::Left, GroupBox1);
    ProcessingButton->setGeometry(136, 56, 105, 41);
    Image4 = ProcessingButton->Picture();
    Label15 = ProcessingButton->Caption();

    Button4 =
        new PictureButton(QStringLiteral(":/art/pause.svg"), QSize(24, 24),
                          QStringLiteral("一時停止"), PictureButton::Placement::Left, GroupBox1);
    Button4->setGeometry(248, 56, 121, 41);
    Image5 = Button4->Picture();
    Label16 = Button4->Caption();

    Label17 =
        MakeLabel(QStringLiteral("0:00:00"), GroupBox1, QRect(376, 56, 104, 41), Qt::AlignCenter);
    Label17->setFont(InterfaceFont(24));

    Image3 = MakePicture(QStringLiteral(":/art/player-title.svg"), this, QRect(32, 128, 145, 17),
                         QSize(145, 17));
}

void TForm1::BuildReductionSettings() {
    Expander1 = new Expander(QStringLiteral("リデュース設定"), 224, this);
    Expander1->setGeometry(8, 248, 505, 249);
    QWidget* content = Expander1->Content();

    Switch1 = new ToggleSwitch(content);
    Switch1->setGeometry(24, 8, 41, 17);
    Label1 =
        MakeLabel(QStringLiteral("有効にする"), content, QRect(8, 24, 73, 17), Qt::AlignCenter);
    Switch2 = new ToggleSwitch(content);
    Switch2->setGeometry(24, 48, 41, 17);
    Label6 = MakeLabel(QStringLiteral("逆モード"), content, QRect(16, 64, 57, 17), Qt::AlignCenter);

    TrackAParam = MakeBar(Qt::Horizontal, FloatTrackBar::Kind::TrackBar, content,
                          QRect(88, 5, 121, 20), ControlId::TrackAParam);
    Panel1 = new CaptionPanel(QStringLiteral("Aパラメーター"), QStringLiteral("(左右の音量差判定)"),
                              CaptionPanel::Style::Callout, true, content);
    Panel1->setGeometry(88, 24, 121, 49);
    Label3 = Panel1->Title();
    Label2 = Panel1->Note();

    TrackPParam = MakeBar(Qt::Horizontal, FloatTrackBar::Kind::TrackBar, content,
                          QRect(216, 5, 121, 20), ControlId::TrackPParam);
    Panel2 = new CaptionPanel(QStringLiteral("Pパラメーター"), QStringLiteral("(左右の位相差判定)"),
                              CaptionPanel::Style::Callout, true, content);
    Panel2->setGeometry(216, 24, 121, 49);
    Label5 = Panel2->Title();
    Label4 = Panel2->Note();

    TrackPanPot = MakeBar(Qt::Horizontal, FloatTrackBar::Kind::TrackBar, content,
                          QRect(344, 5, 121, 20), ControlId::TrackPanPot);
    Panel3 = new CaptionPanel(QStringLiteral("定位"), QStringLiteral("(対象のパンポット)"),
                              CaptionPanel::Style::Callout, true, content);
    Panel3->setGeometry(344, 24, 121, 49);
    Label8 = Panel3->Title();
    Label7 = Panel3->Note();

    PopboxFFT = new WholeItemComboBox(content);
    PopboxFFT->setProperty("corvanelKind", "popup");
    PopboxFFT->setGeometry(24, 86, 145, 22);
    PopboxFFT->addItems({QStringLiteral("低精度 (8192 samples)"),
                         QStringLiteral("中精度 (16384 samples)"),
                         QStringLiteral("高精度 (32768 samples)")});
    PopboxFFT->setCurrentIndex(static_cast<int>(ControlRowOf(ControlId::PopboxFFT).Design));
    Panel5 = new CaptionPanel(QStringLiteral("FFT処理点数"), QString(),
                              CaptionPanel::Style::Callout, false, content);
    Panel5->setGeometry(24, 112, 145, 33);
    Label9 = Panel5->Title();

    SpinKeyChange = new QDoubleSpinBox(content);
    SpinKeyChange->setGeometry(176, 88, 145, 22);
    const corvanel::ControlRow& key = ControlRowOf(ControlId::SpinKeyChange);
    // As many decimals as the step has: none for whole semitones.
    SpinKeyChange->setDecimals(static_cast<int>(std::lround(-std::log10(key.Range.Step))));
    SpinKeyChange->setRange(key.Range.Min, key.Range.Max);
    SpinKeyChange->setSingleStep(key.KeyStep);
    SpinKeyChange->setValue(key.Design);
    SpinKeyChange->setAlignment(Qt::AlignCenter);
    Panel4 = new CaptionPanel(QStringLiteral("キーチェンジ (半音単位)"), QString(),
                              CaptionPanel::Style::Callout, true, content);
    Panel4->setGeometry(176, 112, 145, 33);
    Label10 = Panel4->Title();

    TrackTempo = MakeBar(Qt::Horizontal, FloatTrackBar::Kind::ScrollBar, content,
                         QRect(328, 88, 145, 18), ControlId::TrackTempo);
    Panel6 = new CaptionPanel(QStringLiteral("テンポ"), QString(), CaptionPanel::Style::Callout,
                              true, content);
    Panel6->setGeometry(328, 112, 145, 33);
    Label11 = Panel6->Title();

    Freqbar1 = MakeBar(Qt::Horizontal, FloatTrackBar::Kind::ThinScrollBar, content,
                       QRect(24, 160, 377, 9), ControlId::Freqbar1);
    Label13 = MakeLabel(QStringLiteral("LOW"), content, QRect(408, 153, 64, 17), Qt::AlignCenter);
    Freqbar2 = MakeBar(Qt::Horizontal, FloatTrackBar::Kind::ThinScrollBar, content,
                       QRect(24, 176, 377, 9), ControlId::Freqbar2);
    Label14 = MakeLabel(QStringLiteral("HIGH"), content, QRect(409, 172, 64, 17), Qt::AlignCenter);

    Panel7 = new CaptionPanel(QStringLiteral("＜低音　リデュース対象バンド　高音＞"), QString(),
                              CaptionPanel::Style::Plain, true, content);
    Panel7->setGeometry(24, 192, 449, 21);
    Label12 = Panel7->Title();

    CheckBox1 = new QCheckBox(QStringLiteral("Debug Win."), Expander1->Header());
    // (384, -24) from the content area: the header row.
    CheckBox1->setGeometry(384, Expander::HeaderHeight - 24, 120, 19);
}

void TForm1::BuildDebugCallout() {
    // Stands above the expander: (200, -264) from its content area.
    CalloutPanel1 = new CalloutPanel(23, 11, -10, 0.7, this);
    CalloutPanel1->setGeometry(208, 9, 216, 241);
    // It stands over the file rows and the player's buttons: clicks go to them.
    CalloutPanel1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Memo1 = new QPlainTextEdit(CalloutPanel1);
    // Light text on the dark callout; other text boxes keep the light look.
    Memo1->setProperty("corvanelKind", "callout");
    Memo1->setGeometry(0, 3, 216, 222);
    Memo1->setReadOnly(true);
    Memo1->setFont(FixedFont(11));
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->document()->setDocumentMargin(4);
    CalloutPanel1->hide();
}

void TForm1::BuildBusyOverlay() {
    WritingView = new Veil(QColor(0xF7, 0xF9, 0xFC), 0.7, this);
    WritingView->setGeometry(rect());

    AniIndicator1 = new BusyIndicator(WritingView);
    AniIndicator1->setGeometry(72, 216, 121, 81);
    // The ring turns above the reduction settings' header (from y 248), clear of its caption
    // and of the overlay's own text.
    AniIndicator1->SetRingBox(QRectF(36, 0, 49, 32));
    AniIndicator1->setEnabled(false);

    Label19 = MakeLabel(QStringLiteral("ファイルへ書き出しています"), WritingView,
                        QRect(136, 216, 345, 41), Qt::AlignCenter);
    Label19->setFont(InterfaceFont(22, true));

    CornerButton1 = new PictureButton(QStringLiteral(":/art/stop.svg"), QSize(24, 24),
                                      QStringLiteral("書き出しを中断する"),
                                      PictureButton::Placement::Left, WritingView, 6);
    CornerButton1->setGeometry(216, 256, 169, 33);
    CornerButton1->setStyleSheet(QStringLiteral("QPushButton { border-radius: 3px; }"));
    Image9 = CornerButton1->Picture();
    Label20 = CornerButton1->Caption();
    Label20->setFont(InterfaceFont(12, true));
    WritingView->hide();
}

void TForm1::BuildTimers() {
    Timer1 = new QTimer(this);
    Timer1->setInterval(70);
    Timer2 = new QTimer(this);
    Timer2->setInterval(1000);
    Timer3 = new QTimer(this);
    Timer3->setInterval(250);
}
