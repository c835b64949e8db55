// The once-a-second position display and the enabling of the transport controls.
#include "app/window/TForm1.h"

#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/PictureButton.h"
#include "app/logic/PositionDisplay.h"

#include "audio/include/bass.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Tag 1 tells the seek handler that the program, not the user, moves the bar; it must
// drop back to 0 whichever way the move ends.
class ProgramMove {
  public:
    explicit ProgramMove(corvanel::window::FloatTrackBar& bar) : FBar(bar) { FBar.SetTag(1); }
    ~ProgramMove() { FBar.SetTag(0); }
    ProgramMove(const ProgramMove&) = delete;
    ProgramMove& operator=(const ProgramMove&) = delete;

  private:
    corvanel::window::FloatTrackBar& FBar;
};

} // namespace

void TForm1::Timer2Timer(QObject*) {
    if (!FChain) // shut down
        return;
    const HSTREAM source = dwStream();
    const HSTREAM tempo = dwFxStream();
    const double position =
        BASS_ChannelBytes2Seconds(source, BASS_ChannelGetPosition(source, BASS_POS_BYTE));
    const double length =
        BASS_ChannelBytes2Seconds(source, BASS_ChannelGetLength(source, BASS_POS_BYTE));
    const PositionTick tick = ComputePositionTick(
        position, length, [tempo] { return static_cast<uint32_t>(BASS_ChannelIsActive(tempo)); },
        Edit1->text().isEmpty(), SeparatorsOf(QLocale::system()).time);

    Label17->setText(tick.label);
    {
        const ProgramMove move(*TrackPosition);
        TrackPosition->SetMax(tick.bar.maximum);
        TrackPosition->SetValue(tick.bar.value);
    }
    Edit1->setEnabled(tick.enables.edit1);
    Button1->setEnabled(tick.enables.button1);
    ProcessingButton->setEnabled(tick.enables.processingButton);
    Button4->setEnabled(tick.enables.button4);
    Button5->setEnabled(tick.enables.button5);
}
