// Opening a source, building the chain, and the playback controls.
#include "app/window/TForm1.h"

#include "app/widgets/FloatTrackBar.h"
#include "app/dialogs/UiPrompts.h"

#include <QDoubleSpinBox>
#include <QLineEdit>

using namespace corvanel;

void TForm1::Button1Click(QObject*) {
    if (ExportRunning())
        return;
    ChooseSourcePath(Prompts().OpenFile(OpenDialog1Filter));
}

void TForm1::ChooseSourcePath(const QString& chosen) {
    const std::optional<std::string> path = Chain().Button1Click(
        chosen.isEmpty() ? std::nullopt : std::optional<std::string>(chosen.toStdString()));
    if (path)
        Edit1->setText(QString::fromStdString(*path));
}

void TForm1::Edit1Exit(QObject*) {
    // Leaving the box as the window shuts down comes after the audio is gone.
    if (!FEdit1Typed || ExportRunning() || !FChain)
        return;
    FEdit1Typed = false;
    ChooseSourcePath(Edit1->text());
}

void TForm1::ProcessingButtonClick(QObject* Sender) {
    if (Sender && ExportRunning())
        return;
    // The play button and the play command come with a sender; the export run without one.
    ChainControls controls;
    controls.Path = Edit1->text().toStdString();
    controls.Volume = VolumeBar->Value();
    controls.KeyChange = SpinKeyChange->value();
    controls.Tempo = TrackTempo->Value();
    Chain().ProcessingButtonClick(Sender ? ChainMode::Playback : ChainMode::Export, controls);
}

void TForm1::Button4Click(QObject*) {
    Chain().Button4Click();
}

void TForm1::TrackPositionChange(QObject*) {
    // The position display raises the tag while it moves the bar itself.
    Chain().TrackPositionChange(TrackPosition->Value(), TrackPosition->Tag());
}

void TForm1::VolumeBarChange(QObject*) {
    Chain().VolumeBarChange(VolumeBar->Value());
}

void TForm1::SpinKeyChangeChange(QObject*) {
    Chain().SpinKeyChangeChange(SpinKeyChange->value());
}

void TForm1::TrackTempoChange(QObject*) {
    Chain().TrackTempoChange(TrackTempo->Value());
}
