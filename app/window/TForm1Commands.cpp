// Parameter resets from the caption panels (and their keyboard commands).
#include "TForm1.h"

void TForm1::Panel1Click(QObject*) {}

void TForm1::Panel2Click(QObject*) {}

void TForm1::Panel3DblClick(QObject*) {}

void TForm1::Panel4Click(QObject*) {}

void TForm1::Panel6DblClick(QObject*) {}

void TForm1::Panel7Click(QObject*) {}
