// The once-a-second position display and the enabling of the transport controls.
#include "TForm1.h"

void TForm1::Timer2Timer(QObject*) {}
