// The output choice and the export run.
#include "TForm1.h"

void TForm1::Button2Click(QObject*) {}

void TForm1::Button5Click(QObject*) {}

void TForm1::CornerButton1Click(QObject*) {}
