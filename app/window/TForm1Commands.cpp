// The keyboard commands and the parameter resets behind the caption panels.
// A command never writes a parameter: it moves a control, whose change handler applies it.
#include "app/window/TForm1.h"

#include "app/window/ApplicationError.h"
#include "app/widgets/FloatTrackBar.h"
#include "app/logic/KeyCommands.h"
#include "app/logic/ParameterResets.h"
#include "app/widgets/ToggleSwitch.h"
#include "app/dialogs/UiPrompts.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QSignalBlocker>

using namespace corvanel::window;
using corvanel::dialogs::PromptAnswer;
using corvanel::dialogs::PromptIcon;

namespace {

FloatTrackBar* BarOf(TForm1& form, StepControl control) {
    switch (control) {
    case StepControl::TrackAParam:
        return form.TrackAParam;
    case StepControl::TrackPParam:
        return form.TrackPParam;
    case StepControl::TrackPanPot:
        return form.TrackPanPot;
    case StepControl::TrackTempo:
        return form.TrackTempo;
    case StepControl::Freqbar1:
        return form.Freqbar1;
    case StepControl::Freqbar2:
        return form.Freqbar2;
    case StepControl::SpinKeyChange:
        return nullptr;
    }
    return nullptr;
}

// Moves the control by one step; setting it raises its change handler when the value moved.
void Step(TForm1& form, KeyHandler handler) {
    const std::optional<StepMove> move = StepMoveFor(handler);
    if (!move)
        return;
    if (FloatTrackBar* bar = BarOf(form, move->control)) {
        bar->SetValue(ApplyStep(*move, bar->Min(), bar->Max(), bar->Value()));
        return;
    }
    QDoubleSpinBox* spin = form.SpinKeyChange;
    spin->setValue(ApplyStep(*move, static_cast<float>(spin->minimum()),
                             static_cast<float>(spin->maximum()),
                             static_cast<float>(spin->value())));
}

void RunChangeHandler(TForm1& form, std::string_view name) {
    if (name == "TrackAParamChange")
        form.TrackAParamChange(form.TrackAParam);
    else if (name == "TrackPParamChange")
        form.TrackPParamChange(form.TrackPParam);
    else if (name == "TrackPanPotChange")
        form.TrackPanPotChange(form.TrackPanPot);
    else if (name == "SpinKeyChangeChange")
        form.SpinKeyChangeChange(form.SpinKeyChange);
    else if (name == "TrackTempoChange")
        form.TrackTempoChange(form.TrackTempo);
    else if (name == "Freqbar1Change")
        form.Freqbar1Change(form.Freqbar1);
    else if (name == "Freqbar2Change")
        form.Freqbar2Change(form.Freqbar2);
}

// The controls are set quietly and their handlers run once afterwards, in the table's order,
// so a band reset applies the lower edge first even though both bars moved.
void Reset(TForm1& form, ResetGroup group) {
    ResetHooks hooks;
    hooks.confirm = [&form](std::string_view question) {
        const QString text = QString::fromUtf8(question.data(), qsizetype(question.size()));
        return form.Prompts().Ask(text, PromptIcon::Information) != PromptAnswer::No;
    };
    hooks.setControl = [&form](StepControl control, float value) {
        if (FloatTrackBar* bar = BarOf(form, control)) {
            const QSignalBlocker quiet(bar);
            bar->SetValue(value);
        } else {
            const QSignalBlocker quiet(form.SpinKeyChange);
            form.SpinKeyChange->setValue(value);
        }
    };
    hooks.runChangeHandler = [&form](std::string_view name) { RunChangeHandler(form, name); };
    RunReset(group, hooks);
}

void RunKeyHandler(TForm1& form, KeyHandler handler) {
    using H = KeyHandler;
    switch (handler) {
    case H::Button1Click:
        form.Button1Click(&form);
        return;
    case H::Button2Click:
        form.Button2Click(&form);
        return;
    case H::Button5Click:
        form.Button5Click(&form);
        return;
    case H::ProcessingButtonClick:
        form.ProcessingButtonClick(&form);
        return;
    case H::Button4Click:
        form.Button4Click(&form);
        return;
    case H::AcbEnableExecute:
        form.AcbEnableExecute(&form);
        return;
    case H::AcbInverseExecute:
        form.AcbInverseExecute(&form);
        return;
    case H::AcbFFTSizeExecute:
        form.AcbFFTSizeExecute(&form);
        return;
    case H::Panel1Click:
        form.Panel1Click(&form);
        return;
    case H::Panel2Click:
        form.Panel2Click(&form);
        return;
    case H::Panel3DblClick:
        form.Panel3DblClick(&form);
        return;
    case H::Panel4Click:
        form.Panel4Click(&form);
        return;
    case H::Panel6DblClick:
        form.Panel6DblClick(&form);
        return;
    default:
        Step(form, handler);
        return;
    }
}

} // namespace

bool TForm1::KeyCommand(const QKeyEvent& event) {
    const KeyAction* action =
        FindKeyAction(KeyPress{event.key(), event.modifiers(), event.nativeScanCode()});
    if (!action)
        return false;
    // Shown here, like a failure of a clicked handler, before it could cross the toolkit.
    try {
        RunKeyHandler(*this, action->handler);
    } catch (const std::exception& error) {
        ShowApplicationError(error);
    }
    return true;
}

void TForm1::AcbEnableExecute(QObject*) {
    Switch1->SetChecked(!Switch1->IsChecked()); // Switched() runs Switch1Switch
}

void TForm1::AcbInverseExecute(QObject*) {
    Switch2->SetChecked(!Switch2->IsChecked()); // Switched() runs Switch2Switch
}

void TForm1::AcbAParamLeftExecute(QObject*) {
    Step(*this, KeyHandler::AcbAParamLeftExecute);
}

void TForm1::AcbAParamRightExecute(QObject*) {
    Step(*this, KeyHandler::AcbAParamRightExecute);
}

void TForm1::AcbPParamLeftExecute(QObject*) {
    Step(*this, KeyHandler::AcbPParamLeftExecute);
}

void TForm1::AcbPParamRightExecute(QObject*) {
    Step(*this, KeyHandler::AcbPParamRightExecute);
}

void TForm1::AcbPanpotLeftExecute(QObject*) {
    Step(*this, KeyHandler::AcbPanpotLeftExecute);
}

void TForm1::AcbPanpotRightExecute(QObject*) {
    Step(*this, KeyHandler::AcbPanpotRightExecute);
}

void TForm1::AcbKeyChangeDownExecute(QObject*) {
    Step(*this, KeyHandler::AcbKeyChangeDownExecute);
}

void TForm1::AcbKeyChangeUpExecute(QObject*) {
    Step(*this, KeyHandler::AcbKeyChangeUpExecute);
}

void TForm1::AcbTempoLeftExecute(QObject*) {
    Step(*this, KeyHandler::AcbTempoLeftExecute);
}

void TForm1::AcbTempoRightExecute(QObject*) {
    Step(*this, KeyHandler::AcbTempoRightExecute);
}

void TForm1::AcbFreqLowLeftExecute(QObject*) {
    Step(*this, KeyHandler::AcbFreqLowLeftExecute);
}

void TForm1::AcbFreqLowRightExecute(QObject*) {
    Step(*this, KeyHandler::AcbFreqLowRightExecute);
}

void TForm1::AcbFreqHighLeftExecute(QObject*) {
    Step(*this, KeyHandler::AcbFreqHighLeftExecute);
}

void TForm1::AcbFreqHighRightExecute(QObject*) {
    Step(*this, KeyHandler::AcbFreqHighRightExecute);
}

void TForm1::AcbFFTSizeExecute(QObject*) {
    // currentIndexChanged runs PopboxFFTChange.
    PopboxFFT->setCurrentIndex(NextFftSizeIndex(PopboxFFT->currentIndex(), PopboxFFT->count()));
}

void TForm1::Panel1Click(QObject*) {
    Reset(*this, ResetGroup::AParam);
}

void TForm1::Panel2Click(QObject*) {
    Reset(*this, ResetGroup::PParam);
}

void TForm1::Panel3DblClick(QObject*) {
    Reset(*this, ResetGroup::PanPot);
}

void TForm1::Panel4Click(QObject*) {
    Reset(*this, ResetGroup::KeyChange);
}

void TForm1::Panel6DblClick(QObject*) {
    Reset(*this, ResetGroup::Tempo);
}

void TForm1::Panel7Click(QObject*) {
    Reset(*this, ResetGroup::Band);
}
