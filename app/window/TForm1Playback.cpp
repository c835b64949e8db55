// Opening a source, building the chain, and the playback controls.
#include "TForm1.h"

void TForm1::Button1Click(QObject*) {}

void TForm1::ProcessingButtonClick(QObject*) {}

void TForm1::Button4Click(QObject*) {}

void TForm1::TrackPositionChange(QObject*) {}

void TForm1::VolumeBarChange(QObject*) {}

void TForm1::SpinKeyChangeChange(QObject*) {}

void TForm1::TrackTempoChange(QObject*) {}
