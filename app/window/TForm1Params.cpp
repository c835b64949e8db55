// The reduction parameters: each control's change handler writes its parameter.
#include "TForm1.h"

void TForm1::Switch1Switch(QObject*) {}

void TForm1::Switch2Switch(QObject*) {}

void TForm1::TrackAParamChange(QObject*) {}

void TForm1::TrackPParamChange(QObject*) {}

void TForm1::TrackPanPotChange(QObject*) {}

void TForm1::Freqbar1Change(QObject*) {}

void TForm1::Freqbar2Change(QObject*) {}

void TForm1::PopboxFFTChange(QObject*) {}
