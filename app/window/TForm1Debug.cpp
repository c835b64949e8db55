// The debug list.
#include "TForm1.h"

void TForm1::CheckBox1Change(QObject*) {}

void TForm1::Timer3Timer(QObject*) {}
