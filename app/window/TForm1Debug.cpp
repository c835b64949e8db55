// The debug list: shown by the check box, refreshed four times a second while it is shown.
#include "app/window/TForm1.h"

#include "app/widgets/CalloutPanel.h"
#include "app/logic/DebugPanel.h"

#include "dsp/ReduceParams.h"

#include <QCheckBox>
#include <QDateTime>
#include <QPlainTextEdit>
#include <QTimer>

void TForm1::CheckBox1Change(QObject*) {
    CalloutPanel1->setVisible(CheckBox1->isChecked());
    // isHidden, not isVisible: the panel's own state, whether or not the window is on screen.
    if (CalloutPanel1->isHidden())
        Timer3->stop();
    else if (!Timer3->isActive())
        Timer3->start();
}

void TForm1::Timer3Timer(QObject*) {
    DebugSnapshot snapshot;
    snapshot.enable = corvanel::VREnable.load();
    snapshot.fftPoint = corvanel::VRFFTPoint.load();
    snapshot.aParam = corvanel::VRAParam.load();
    snapshot.pParam = corvanel::VRPParam.load();
    snapshot.panPot = corvanel::VRPanPot.load();
    snapshot.band1 = corvanel::VRBand1.load();
    snapshot.band2 = corvanel::VRBand2.load();
    snapshot.inverse = corvanel::VRInverse.load();
    snapshot.keyChange = corvanel::VRKeyChange.load();
    snapshot.tempo = corvanel::VRTempo.load();

    // Replaced whole: the list is rebuilt from nothing and stays scrolled to its top.
    Memo1->setPlainText(DebugLines(snapshot, QDateTime::currentDateTime()).join(u'\n'));
}
