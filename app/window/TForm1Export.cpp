// The output choice and the export run.
#include "app/window/TForm1.h"

#include "app/widgets/BusyIndicator.h"
#include "app/widgets/Decorations.h"
#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/PictureButton.h"
#include "app/dialogs/UiPrompts.h"

#include "export/ExportRun.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>

#include <algorithm>
#include <cmath>

using namespace corvanel;
using corvanel::dialogs::SaveFileRequest;

namespace {

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// The window's side of a run: the overlay, the progress bar, the event pump and the boxes.
class FormExportView final : public TExportView {
  public:
    explicit FormExportView(TForm1& form) : F(form) {}

    void ChooseOutput(TObjectEx& sender) override { F.ChooseOutput(&sender); }

    void ShowWritingView(bool shown) override {
        if (shown) {
            // Keys would otherwise reach a covered control, such as the position bar.
            FFocus = QApplication::focusWidget();
            F.WritingView->raise();
            F.WritingView->show();
            F.CornerButton1->setFocus(Qt::OtherFocusReason);
        } else {
            F.WritingView->hide();
            if (FFocus)
                FFocus->setFocus(Qt::OtherFocusReason);
        }
        F.AniIndicator1->setEnabled(shown);
    }

    void SetProgress(double percent) override {
        F.ProgressBar1->setValue(static_cast<int>(std::nearbyint(std::clamp(percent, 0.0, 100.0))));
    }

    void ProcessEvents() override { QCoreApplication::processEvents(); }

    void RewindPosition() override {
        if (F.TrackPosition->Value() != 0.0f)
            F.TrackPosition->SetValue(0.0f); // Changed() runs TrackPositionChange
        else
            F.TrackPositionChange(F.TrackPosition);
    }

    void ShowInformation(const std::string& text) override { F.Prompts().Inform(Text(text)); }
    void ShowWarning(const std::string& text) override { F.Prompts().Warn(Text(text)); }
    void ShowError(const std::string& text) override { F.Prompts().Error(Text(text)); }

  private:
    TForm1& F;
    QPointer<QWidget> FFocus;
};

} // namespace

std::filesystem::path TForm1::ProgramFolder() const {
    if (!FProgramFolder.empty())
        return FProgramFolder;
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String());
}

void TForm1::ChooseOutput(TObjectEx* sender) {
    const TSaveDialog dialog =
        [this](const TSaveDialogRequest& request) -> std::optional<std::string> {
        SaveFileRequest shown;
        shown.filter = Text(request.Filter);
        shown.fileName = Text(request.FileName);
        shown.defaultExtension = Text(request.DefaultExt);
        // The dialog asks before an existing file is overwritten.
        const QString chosen = Prompts().SaveFile(shown);
        if (chosen.isEmpty())
            return std::nullopt;
        return chosen.toStdString();
    };
    corvanel::ChooseOutput(FExportState, sender, ProgramFolder(), Edit1->text().toStdString(),
                           dialog);
    Edit2->setText(Text(FExportState.Edit2));
}

void TForm1::Button2Click(QObject*) {
    if (ExportRunning())
        return;
    ChooseOutput(nullptr);
}

void TForm1::Button5Click(QObject*) {
    if (ExportRunning())
        return;
    // The quality level is the one shown when the run starts.
    FExportState.QualitySelecter = QualitySelecter->currentIndex();
    ChainControls controls;
    controls.Path = Edit1->text().toStdString();
    controls.Volume = VolumeBar->Value();
    controls.KeyChange = SpinKeyChange->value();
    controls.Tempo = TrackTempo->Value();

    FormExportView view(*this);
    TExportRun run(Chain(), FExportState, view, _AbortFlag);
    struct Running {
        TForm1& form;
        ~Running() { form.FExportRun = nullptr; }
    } running{*this};
    FExportRun = &run;
    run.Button5Click(controls);
    FExportRun = nullptr;

    if (FCloseAfterExport) {
        FCloseAfterExport = false;
        close();
    }
}

void TForm1::CornerButton1Click(QObject*) {
    _AbortFlag = true;
}

void TForm1::DeferCloseUntilExportEnds(QCloseEvent* event) {
    FCloseAfterExport = true;
    CornerButton1Click(this);
    event->ignore();
}
