#pragma once
// The main window: every control of the program, the timers, and the handlers named after
// the control and the event. UI thread only (all members and handlers).
//
// The window's own behaviour (layout, folding, centring, activation repaint, drag and drop of
// a path, the version label's link look) lives here; the handlers that drive the audio chain,
// the export, the commands, the dialogs and the debug list are each in a file of their own.
// Sizes and places are in pixels from the top left of the window or of the holding group.

#include "engine/OutputTap.h"
#include "engine/StreamChain.h"
#include "export/OutputChoice.h"

#include "app/window/ActiveWindowKeys.h"
#include "app/logic/ScopeTrace.h"

#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QKeyEvent;
class QComboBox;
class QDoubleSpinBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace corvanel::window {
class BusyIndicator;
class CalloutPanel;
class CaptionPanel;
class DashedLine;
class Expander;
class FloatTrackBar;
class PaintBox;
class PictureButton;
class PictureGroupBox;
class ToggleSwitch;
class Veil;
} // namespace corvanel::window

namespace corvanel::dialogs {
class HelpOpener;
class UiPrompts;
} // namespace corvanel::dialogs

namespace corvanel {
class TExportRun;
} // namespace corvanel

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    static constexpr int ClientWidth = 523;
    // Height of the window at design time, before the expander reports its size.
    static constexpr int DesignClientHeight = 507;

    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Questions, message boxes and file dialogs; tests put their own answers here.
    corvanel::dialogs::UiPrompts& Prompts() { return *FPrompts; }
    void SetPrompts(std::unique_ptr<corvanel::dialogs::UiPrompts> prompts);
    // Opens the manual and the home page in the browser; tests see the address instead.
    void SetHelpOpener(std::shared_ptr<corvanel::dialogs::HelpOpener> opener);
    // The scope's millisecond clock (a steady clock unless a test sets its own).
    void SetScopeClock(std::function<std::int64_t()> clockMs);

    // ---- Header strip
    QLabel* Image6 = nullptr; // banner, drop target
    corvanel::window::DashedLine* Line1 = nullptr;
    QLabel* VersionLabel = nullptr;
    corvanel::window::PictureButton* Button7 = nullptr; // help
    QLabel* Image8 = nullptr;
    corvanel::window::PictureButton* Button6 = nullptr; // one-line message
    QLabel* Image7 = nullptr;
    QLabel* Label18 = nullptr;

    // ---- File rows
    QLabel* Image1 = nullptr; // "Source" tag
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* Image2 = nullptr; // "Destination" tag
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button2 = nullptr;
    corvanel::window::DashedLine* Line2 = nullptr;
    QComboBox* QualitySelecter = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    corvanel::window::PictureButton* Button5 = nullptr; // export
    QLabel* Image10 = nullptr;

    // ---- Player
    corvanel::window::PictureGroupBox* GroupBox1 = nullptr;
    QLabel* Image3 = nullptr; // the player's title, over the group's caption strip
    QFrame* Panel8 = nullptr;
    corvanel::window::PaintBox* PaintBox1 = nullptr;
    corvanel::window::FloatTrackBar* VolumeBar = nullptr;     // dB of attenuation
    corvanel::window::FloatTrackBar* TrackPosition = nullptr; // seconds, no tracking
    corvanel::window::PictureButton* ProcessingButton = nullptr;
    QLabel* Image4 = nullptr;
    QLabel* Label15 = nullptr;
    corvanel::window::PictureButton* Button4 = nullptr;
    QLabel* Image5 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label17 = nullptr; // elapsed time

    // ---- Reduction settings
    corvanel::window::Expander* Expander1 = nullptr;
    corvanel::window::ToggleSwitch* Switch1 = nullptr;
    QLabel* Label1 = nullptr;
    corvanel::window::ToggleSwitch* Switch2 = nullptr;
    QLabel* Label6 = nullptr;
    corvanel::window::FloatTrackBar* TrackAParam = nullptr; // dB
    corvanel::window::CaptionPanel* Panel1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    corvanel::window::FloatTrackBar* TrackPParam = nullptr; // degrees
    corvanel::window::CaptionPanel* Panel2 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label4 = nullptr;
    corvanel::window::FloatTrackBar* TrackPanPot = nullptr;
    corvanel::window::CaptionPanel* Panel3 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* PopboxFFT = nullptr;
    corvanel::window::CaptionPanel* Panel5 = nullptr;
    QLabel* Label9 = nullptr;
    QDoubleSpinBox* SpinKeyChange = nullptr; // semitones
    corvanel::window::CaptionPanel* Panel4 = nullptr;
    QLabel* Label10 = nullptr;
    corvanel::window::FloatTrackBar* TrackTempo = nullptr; // log10 of the speed factor
    corvanel::window::CaptionPanel* Panel6 = nullptr;
    QLabel* Label11 = nullptr;
    corvanel::window::FloatTrackBar* Freqbar1 = nullptr; // log10 of Hz
    QLabel* Label13 = nullptr;
    corvanel::window::FloatTrackBar* Freqbar2 = nullptr; // log10 of Hz
    QLabel* Label14 = nullptr;
    corvanel::window::CaptionPanel* Panel7 = nullptr;
    QLabel* Label12 = nullptr;
    QCheckBox* CheckBox1 = nullptr; // in the expander's header row

    // ---- Debug list
    corvanel::window::CalloutPanel* CalloutPanel1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

    // ---- Busy overlay shown during an export
    corvanel::window::Veil* WritingView = nullptr;
    corvanel::window::BusyIndicator* AniIndicator1 = nullptr;
    QLabel* Label19 = nullptr;
    corvanel::window::PictureButton* CornerButton1 = nullptr;
    QLabel* Image9 = nullptr;
    QLabel* Label20 = nullptr;

    // ---- Timers
    QTimer* Timer1 = nullptr; // 70 ms, scope
    QTimer* Timer2 = nullptr; // 1000 ms, position and button states
    QTimer* Timer3 = nullptr; // 250 ms, debug list

    // ---- State
    QString OpenDialog1Filter;           // "|"-separated filter of the open dialog
    std::atomic<bool> _AbortFlag{false}; // export abort requested; the run stops on it

    // What the output choice stored for the export run; Edit2 shows its path.
    const corvanel::TExportState& ExportState() const { return FExportState; }
    // True while an export runs: the play, open, save-to and export commands do nothing.
    bool ExportRunning() const { return FExportRun != nullptr; }
    // The folder that holds "addon.win": the program's own unless a test sets another.
    std::filesystem::path ProgramFolder() const;
    void SetProgramFolder(std::filesystem::path folder) { FProgramFolder = std::move(folder); }
    // The output choice behind Button2Click; `sender` is the export run's result holder, or
    // nullptr for the button and the shortcut.
    void ChooseOutput(corvanel::TObjectEx* sender);

    // The stream chain, the one owner of the audio handles, ChInfo, ChTag and the drag's
    // path; it exists from FormCreate until FormClose has freed the audio library.
    corvanel::StreamChain& Chain() { return *FChain; }
    const corvanel::StreamChain& Chain() const { return *FChain; }
    OutputTap& ViewStream() { return *FViewStream; }
    // Audio library handles; 0 means none.
    std::uint32_t dwStream() const { return FChain->dwStream(); }
    std::uint32_t dwFxStream() const { return FChain->dwFxStream(); }
    std::uint32_t dwOutStream() const { return FChain->dwOutStream(); }
    std::uint32_t dwEncoder() const { return FChain->dwEncoder(); }
    const BASS_CHANNELINFO& ChInfo() const { return FChain->ChInfo(); }
    const corvanel::TagList& ChTag() const { return FChain->ChTag(); }
    // Path carried by the drag in progress.
    QString sDropPath() const { return QString::fromStdString(FChain->sDropPath()); }

    // The settings file: the CORVANEL_SETTINGS environment variable when set (tests), else
    // the one ChooseSettingsFile picks (beside the program, or per user when installed).
    static std::filesystem::path SettingsPath();
    void LoadSettings();
    void SaveSettings();

  public slots:
    // Life cycle (start-up, shutdown and the settings file).
    void FormCreate(QObject* Sender = nullptr);
    void FormClose(QObject* Sender = nullptr);

    // The window itself.
    void FormActivate(QObject* Sender = nullptr);
    void FormDeactivate(QObject* Sender = nullptr);
    void FormPaint(const QRegion& region);
    void Expander1Resize(QObject* Sender = nullptr);
    // Centres `form` over its reference form by its position setting.
    void UpdateFormPosition(QWidget* form);
    void Edit1DragEnter(QObject* Sender, QDragEnterEvent* event);
    void Edit1DragOver(QObject* Sender, QDragMoveEvent* event);
    void Edit1DragDrop(QObject* Sender, QDropEvent* event);
    void VersionLabelMouseEnter(QObject* Sender = nullptr);
    void VersionLabelMouseLeave(QObject* Sender = nullptr);

    // Reduction parameters.
    void Switch1Switch(QObject* Sender = nullptr);
    void Switch2Switch(QObject* Sender = nullptr);
    void TrackAParamChange(QObject* Sender = nullptr);
    void TrackPParamChange(QObject* Sender = nullptr);
    void TrackPanPotChange(QObject* Sender = nullptr);
    void Freqbar1Change(QObject* Sender = nullptr);
    void Freqbar2Change(QObject* Sender = nullptr);
    void PopboxFFTChange(QObject* Sender = nullptr);

    // Source opening and playback.
    void Button1Click(QObject* Sender = nullptr);
    // A path typed into Edit1 (Enter or leaving the box after an edit) counts as a chosen
    // file: playback stops so that play starts the new one.
    void Edit1Exit(QObject* Sender = nullptr);
    // What choosing `path` in the open dialog does (an empty path: a cancelled dialog).
    void ChooseSourcePath(const QString& path);
    void ProcessingButtonClick(QObject* Sender = nullptr);
    void Button4Click(QObject* Sender = nullptr);
    void TrackPositionChange(QObject* Sender = nullptr);
    void VolumeBarChange(QObject* Sender = nullptr);
    void SpinKeyChangeChange(QObject* Sender = nullptr);
    void TrackTempoChange(QObject* Sender = nullptr);
    void Timer2Timer(QObject* Sender = nullptr);

    // Scope.
    void PaintBox1Paint(QObject* Sender, QPainter& Canvas);
    void Timer1Timer(QObject* Sender = nullptr);

    // Output choice and export.
    void Button2Click(QObject* Sender = nullptr);
    void Button5Click(QObject* Sender = nullptr);
    void CornerButton1Click(QObject* Sender = nullptr);

    // Parameter resets (caption panels).
    void Panel1Click(QObject* Sender = nullptr);
    void Panel2Click(QObject* Sender = nullptr);
    void Panel3DblClick(QObject* Sender = nullptr);
    void Panel4Click(QObject* Sender = nullptr);
    void Panel6DblClick(QObject* Sender = nullptr);
    void Panel7Click(QObject* Sender = nullptr);

    // Debug list.
    void CheckBox1Change(QObject* Sender = nullptr);
    void Timer3Timer(QObject* Sender = nullptr);

    // Message, help and about.
    void Button6Click(QObject* Sender = nullptr);
    void Button7Click(QObject* Sender = nullptr);
    void VersionLabelClick(QObject* Sender = nullptr);

    // Keyboard commands that move, toggle or cycle a control; its change handler applies it.
    void AcbEnableExecute(QObject* Sender = nullptr);
    void AcbInverseExecute(QObject* Sender = nullptr);
    void AcbAParamLeftExecute(QObject* Sender = nullptr);
    void AcbAParamRightExecute(QObject* Sender = nullptr);
    void AcbPParamLeftExecute(QObject* Sender = nullptr);
    void AcbPParamRightExecute(QObject* Sender = nullptr);
    void AcbPanpotLeftExecute(QObject* Sender = nullptr);
    void AcbPanpotRightExecute(QObject* Sender = nullptr);
    void AcbKeyChangeDownExecute(QObject* Sender = nullptr);
    void AcbKeyChangeUpExecute(QObject* Sender = nullptr);
    void AcbTempoLeftExecute(QObject* Sender = nullptr);
    void AcbTempoRightExecute(QObject* Sender = nullptr);
    void AcbFreqLowLeftExecute(QObject* Sender = nullptr);
    void AcbFreqLowRightExecute(QObject* Sender = nullptr);
    void AcbFreqHighLeftExecute(QObject* Sender = nullptr);
    void AcbFreqHighRightExecute(QObject* Sender = nullptr);
    void AcbFFTSizeExecute(QObject* Sender = nullptr);

  protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildHeader();
    void BuildFileRows();
    void BuildPlayer();
    void BuildReductionSettings();
    void BuildDebugCallout();
    void BuildBusyOverlay();
    void BuildTimers();
    void ConnectHandlers();
    void NameControls();

    // Stops and frees the audio library, then releases what the chain shares with it.
    void ShutDownAudio();

    std::unique_ptr<corvanel::dialogs::UiPrompts> FPrompts;
    std::unique_ptr<OutputTap> FViewStream;
    std::unique_ptr<corvanel::StreamChain> FChain;
    bool FShownOnce = false;
    bool FEdit1Typed = false; // Edit1 edited by the user since the last Edit1Exit
    bool FClosed = false;

    // Runs the command bound to a key press; false when none is.
    bool KeyCommand(const QKeyEvent& event);
    corvanel::window::ActiveWindowKeys FKeyCommands{
        this, [this](const QKeyEvent& event) { return KeyCommand(event); }};
    ScopeGate FScopeGate;
    std::vector<ScopePoint> FScopeTrace; // the trace drawn last
    std::shared_ptr<corvanel::dialogs::HelpOpener> FHelpOpener;

    // Closing frees the chain a run still uses: the run is stopped and the window closes
    // once it has ended.
    void DeferCloseUntilExportEnds(QCloseEvent* event);
    corvanel::TExportState FExportState;
    corvanel::TExportRun* FExportRun = nullptr; // the run in progress
    std::filesystem::path FProgramFolder;
    bool FCloseAfterExport = false;
};
