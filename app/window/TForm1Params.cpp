// The reduction parameters: each control's change handler writes its parameter.
#include "app/window/TForm1.h"

#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/ToggleSwitch.h"

#include "dsp/ReduceParams.h"
#include "dsp/ReduceProc.h"

#include <QComboBox>
#include <QLabel>

using namespace corvanel;

void TForm1::Switch1Switch(QObject*) {
    // Also puts the tempo stream back to the source's own tempo and key.
    Chain().Switch1Switch(Switch1->IsChecked());
}

void TForm1::Switch2Switch(QObject*) {
    VRInverse.store(Switch2->IsChecked());
}

void TForm1::TrackAParamChange(QObject*) {
    VRAParam.store(static_cast<double>(TrackAParam->Value()));
}

void TForm1::TrackPParamChange(QObject*) {
    VRPParam.store(static_cast<double>(TrackPParam->Value()));
}

void TForm1::TrackPanPotChange(QObject*) {
    VRPanPot.store(static_cast<double>(TrackPanPot->Value()));
}

void TForm1::Freqbar1Change(QObject*) {
    const double edge = BandEdgeFromBar(Freqbar1->Value());
    VRBand1.store(edge);
    Label13->setText(QString::fromStdString(BandLabelText(edge)));
}

void TForm1::Freqbar2Change(QObject*) {
    const double edge = BandEdgeFromBar(Freqbar2->Value());
    VRBand2.store(edge);
    Label14->setText(QString::fromStdString(BandLabelText(edge)));
}

void TForm1::PopboxFFTChange(QObject*) {
    // The processor empties its queues before its next call touches them, so a frame of the
    // old length is never mixed with the new one, even while playing.
    const int item = PopboxFFT->currentIndex();
    if (item < 0)
        return;
    Chain().Processor().ChangeFrameSize(FFTPointFromIndex(item));
}
