// Construction of the window, its events and the wiring of every control to its handler.
#include "app/window/TForm1.h"

#include "app/window/ApplicationError.h"
#include "app/window/WindowArt.h"
#include "app/widgets/BusyIndicator.h"
#include "app/widgets/CalloutPanel.h"
#include "app/widgets/CaptionPanel.h"
#include "app/widgets/Decorations.h"
#include "app/widgets/Expander.h"
#include "app/widgets/FloatTrackBar.h"
#include "app/window/FormPositioning.h"
#include "app/widgets/PaintBox.h"
#include "app/widgets/PictureButton.h"
#include "app/widgets/ToggleSwitch.h"
#include "app/dialogs/UiPrompts.h"
#include "app/widgets/WholeItemComboBox.h"
#include "app/widgets/WindowLook.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

using namespace corvanel::window;

namespace {

// A failure that ends a handler is shown by the application's error display here, before it
// could cross the toolkit's signal code; the program goes on.
template <typename Handler> void RunHandler(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowApplicationError(error);
    }
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      FPrompts(std::make_unique<corvanel::dialogs::MessageBoxPrompts>(this, UseStyledItems)) {
    EnsureArtLoaded();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Corvanel"));
    setFont(InterfaceFont());
    setStyleSheet(WindowStyleSheet());
    setFixedSize(ClientWidth, DesignClientHeight);
    SetFormPositionSetting(*this, FormPositionSetting::ScreenCenter);
    if (!MainForm())
        SetMainForm(this);

    BuildHeader();
    BuildFileRows();
    BuildPlayer();
    BuildReductionSettings();
    BuildDebugCallout();
    BuildBusyOverlay();
    BuildTimers();
    NameControls();
    ConnectHandlers();

    Expander1Resize(Expander1);
    Timer1->start();
    Timer2->start();
    FormCreate(this);
}

TForm1::~TForm1() {
    // The controls outlive this body (QWidget deletes them later) and may still signal, as the
    // path box does when it loses focus: no handler may run on a half-destroyed window.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
    // A window destroyed without being closed still lets go of the audio library first.
    if (!FClosed)
        ShutDownAudio();
    if (MainForm() == this)
        SetMainForm(nullptr);
}

void TForm1::SetPrompts(std::unique_ptr<corvanel::dialogs::UiPrompts> prompts) {
    if (prompts)
        FPrompts = std::move(prompts);
}

void TForm1::NameControls() {
    // Object names are the controls' own names, so that tests and style rules can find them.
#define CORVANEL_NAME(control) control->setObjectName(QStringLiteral(#control))
    CORVANEL_NAME(Image6);
    CORVANEL_NAME(Line1);
    CORVANEL_NAME(VersionLabel);
    CORVANEL_NAME(Button7);
    CORVANEL_NAME(Image8);
    CORVANEL_NAME(Button6);
    CORVANEL_NAME(Image7);
    CORVANEL_NAME(Label18);
    CORVANEL_NAME(Image1);
    CORVANEL_NAME(Edit1);
    CORVANEL_NAME(Button1);
    CORVANEL_NAME(Image2);
    CORVANEL_NAME(Edit2);
    CORVANEL_NAME(Button2);
    CORVANEL_NAME(Line2);
    CORVANEL_NAME(QualitySelecter);
    CORVANEL_NAME(ProgressBar1);
    CORVANEL_NAME(Button5);
    CORVANEL_NAME(Image10);
    CORVANEL_NAME(GroupBox1);
    CORVANEL_NAME(Image3);
    CORVANEL_NAME(Panel8);
    CORVANEL_NAME(PaintBox1);
    CORVANEL_NAME(VolumeBar);
    CORVANEL_NAME(TrackPosition);
    CORVANEL_NAME(ProcessingButton);
    CORVANEL_NAME(Image4);
    CORVANEL_NAME(Label15);
    CORVANEL_NAME(Button4);
    CORVANEL_NAME(Image5);
    CORVANEL_NAME(Label16);
    CORVANEL_NAME(Label17);
    CORVANEL_NAME(Expander1);
    CORVANEL_NAME(Switch1);
    CORVANEL_NAME(Label1);
    CORVANEL_NAME(Switch2);
    CORVANEL_NAME(Label6);
    CORVANEL_NAME(TrackAParam);
    CORVANEL_NAME(Panel1);
    CORVANEL_NAME(Label3);
    CORVANEL_NAME(Label2);
    CORVANEL_NAME(TrackPParam);
    CORVANEL_NAME(Panel2);
    CORVANEL_NAME(Label5);
    CORVANEL_NAME(Label4);
    CORVANEL_NAME(TrackPanPot);
    CORVANEL_NAME(Panel3);
    CORVANEL_NAME(Label8);
    CORVANEL_NAME(Label7);
    CORVANEL_NAME(PopboxFFT);
    CORVANEL_NAME(Panel5);
    CORVANEL_NAME(Label9);
    CORVANEL_NAME(SpinKeyChange);
    CORVANEL_NAME(Panel4);
    CORVANEL_NAME(Label10);
    CORVANEL_NAME(TrackTempo);
    CORVANEL_NAME(Panel6);
    CORVANEL_NAME(Label11);
    CORVANEL_NAME(Freqbar1);
    CORVANEL_NAME(Label13);
    CORVANEL_NAME(Freqbar2);
    CORVANEL_NAME(Label14);
    CORVANEL_NAME(Panel7);
    CORVANEL_NAME(Label12);
    CORVANEL_NAME(CheckBox1);
    CORVANEL_NAME(CalloutPanel1);
    CORVANEL_NAME(Memo1);
    CORVANEL_NAME(WritingView);
    CORVANEL_NAME(AniIndicator1);
    CORVANEL_NAME(Label19);
    CORVANEL_NAME(CornerButton1);
    CORVANEL_NAME(Image9);
    CORVANEL_NAME(Label20);
    CORVANEL_NAME(Timer1);
    CORVANEL_NAME(Timer2);
    CORVANEL_NAME(Timer3);
#undef CORVANEL_NAME
}

void TForm1::ConnectHandlers() {
    const auto click = [this](QPushButton* button, void (TForm1::*handler)(QObject*)) {
        connect(button, &QPushButton::clicked, this,
                [this, button, handler] { RunHandler([&] { (this->*handler)(button); }); });
    };
    click(Button1, &TForm1::Button1Click);
    click(Button2, &TForm1::Button2Click);
    click(Button4, &TForm1::Button4Click);
    click(Button5, &TForm1::Button5Click);
    click(Button6, &TForm1::Button6Click);
    click(Button7, &TForm1::Button7Click);
    click(ProcessingButton, &TForm1::ProcessingButtonClick);
    connect(Edit1, &QLineEdit::textEdited, this, [this] { FEdit1Typed = true; });
    connect(Edit1, &QLineEdit::editingFinished, this,
            [this] { RunHandler([&] { Edit1Exit(Edit1); }); });
    click(CornerButton1, &TForm1::CornerButton1Click);

    const auto change = [this](FloatTrackBar* bar, void (TForm1::*handler)(QObject*)) {
        connect(bar, &FloatTrackBar::Changed, this,
                [this, bar, handler] { RunHandler([&] { (this->*handler)(bar); }); });
    };
    change(TrackAParam, &TForm1::TrackAParamChange);
    change(TrackPParam, &TForm1::TrackPParamChange);
    change(TrackPanPot, &TForm1::TrackPanPotChange);
    change(Freqbar1, &TForm1::Freqbar1Change);
    change(Freqbar2, &TForm1::Freqbar2Change);
    change(TrackPosition, &TForm1::TrackPositionChange);
    change(VolumeBar, &TForm1::VolumeBarChange);
    change(TrackTempo, &TForm1::TrackTempoChange);

    connect(Switch1, &ToggleSwitch::Switched, this,
            [this] { RunHandler([this] { Switch1Switch(Switch1); }); });
    connect(Switch2, &ToggleSwitch::Switched, this,
            [this] { RunHandler([this] { Switch2Switch(Switch2); }); });
    connect(PopboxFFT, &QComboBox::currentIndexChanged, this,
            [this] { RunHandler([this] { PopboxFFTChange(PopboxFFT); }); });
    connect(SpinKeyChange, &QDoubleSpinBox::valueChanged, this,
            [this] { RunHandler([this] { SpinKeyChangeChange(SpinKeyChange); }); });
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this] { RunHandler([this] { CheckBox1Change(CheckBox1); }); });

    const auto panel = [this](CaptionPanel* caption, void (TForm1::*handler)(QObject*)) {
        connect(caption, &CaptionPanel::Clicked, this,
                [this, caption, handler] { RunHandler([&] { (this->*handler)(caption); }); });
    };
    panel(Panel1, &TForm1::Panel1Click);
    panel(Panel2, &TForm1::Panel2Click);
    panel(Panel3, &TForm1::Panel3DblClick);
    panel(Panel4, &TForm1::Panel4Click);
    panel(Panel6, &TForm1::Panel6DblClick);
    panel(Panel7, &TForm1::Panel7Click);

    connect(Expander1, &Expander::Resized, this, [this] { Expander1Resize(Expander1); });

    connect(Timer1, &QTimer::timeout, this,
            [this] { RunHandler([this] { Timer1Timer(Timer1); }); });
    connect(Timer2, &QTimer::timeout, this,
            [this] { RunHandler([this] { Timer2Timer(Timer2); }); });
    connect(Timer3, &QTimer::timeout, this,
            [this] { RunHandler([this] { Timer3Timer(Timer3); }); });

    PaintBox1->OnPaint = [this](QPainter& canvas) { PaintBox1Paint(PaintBox1, canvas); };
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            FormActivate(this);
        else
            FormDeactivate(this);
    }
}

void TForm1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    FormPaint(event->region());
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (WritingView)
        WritingView->setGeometry(rect());
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!FShownOnce) {
        FShownOnce = true;
        if (GetFormPositionSetting(*this) == FormPositionSetting::ScreenCenter)
            CentreOnScreen(*this);
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (ExportRunning())
        return DeferCloseUntilExportEnds(event);
    // Closing the main window ends the program: shut down once, however often Qt asks.
    if (!FClosed) {
        FClosed = true;
        FormClose(this);
    }
    event->accept();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 || watched == Image6) {
        switch (event->type()) {
        case QEvent::DragEnter: {
            auto* enter = static_cast<QDragEnterEvent*>(event);
            Edit1DragEnter(watched, enter);
            // Qt sends no move before the first one: decide acceptance now.
            Edit1DragOver(watched, enter);
            return true;
        }
        case QEvent::DragMove:
            Edit1DragOver(watched, static_cast<QDragMoveEvent*>(event));
            return true;
        case QEvent::Drop:
            Edit1DragDrop(watched, static_cast<QDropEvent*>(event));
            return true;
        default:
            break;
        }
    } else if (watched == VersionLabel) {
        switch (event->type()) {
        case QEvent::Enter:
            VersionLabelMouseEnter(VersionLabel);
            break;
        case QEvent::Leave:
            VersionLabelMouseLeave(VersionLabel);
            break;
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                VersionLabel->rect().contains(mouse->position().toPoint())) {
                VersionLabelClick(VersionLabel);
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
