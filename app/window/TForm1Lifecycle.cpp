// Start-up, shutdown and the settings file.
#include "TForm1.h"

void TForm1::FormCreate(QObject*) {}

void TForm1::FormClose(QObject*) {}
