// The message dialog, the online help and the about dialog.
#include "TForm1.h"

void TForm1::Button6Click(QObject*) {}

void TForm1::Button7Click(QObject*) {}

void TForm1::VersionLabelClick(QObject*) {}
