// The stereo scope.
#include "TForm1.h"

#include <QPainter>

void TForm1::PaintBox1Paint(QObject*, QPainter&) {}

void TForm1::Timer1Timer(QObject*) {}
