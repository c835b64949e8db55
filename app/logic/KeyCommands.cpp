#include "app/logic/KeyCommands.h"

#include <algorithm>

namespace {

constexpr uint16_t Ctrl(uint16_t vk) {
    return kKeyCtrl | vk;
}
constexpr uint16_t CtrlShift(uint16_t vk) {
    return kKeyCtrl | kKeyShift | vk;
}
constexpr uint16_t F(int n) {
    return static_cast<uint16_t>(0x70 + n - 1);
}

using H = KeyHandler;
constexpr std::array<KeyAction, kKeyActionCount> kActions{{
    {"AcbFileOpen", Ctrl('O'), H::Button1Click},
    {"AcbFileSave", Ctrl('S'), H::Button2Click},
    {"AcbFileWrite", Ctrl('W'), H::Button5Click},
    {"AcbPlay", Ctrl('P'), H::ProcessingButtonClick},
    {"AcbStop", Ctrl('E'), H::Button4Click},
    {"AcbEnable", Ctrl(F(1)), H::AcbEnableExecute},
    {"AcbInverse", Ctrl(F(2)), H::AcbInverseExecute},
    {"AcbAParamLeft", Ctrl('1'), H::AcbAParamLeftExecute},
    {"AcbAParamRight", Ctrl('2'), H::AcbAParamRightExecute},
    {"AcbPParamLeft", Ctrl('3'), H::AcbPParamLeftExecute},
    {"AcbPParamRight", Ctrl('4'), H::AcbPParamRightExecute},
    {"AcbPanpotLeft", Ctrl('5'), H::AcbPanpotLeftExecute},
    {"AcbPanpotRight", Ctrl('6'), H::AcbPanpotRightExecute},
    {"AcbKeyChangeDown", Ctrl('7'), H::AcbKeyChangeDownExecute},
    {"AcbKeyChangeUp", Ctrl('8'), H::AcbKeyChangeUpExecute},
    {"AcbTempoLeft", Ctrl('9'), H::AcbTempoLeftExecute},
    {"AcbTempoRight", Ctrl('0'), H::AcbTempoRightExecute},
    {"AcbFreqLowLeft", Ctrl(F(3)), H::AcbFreqLowLeftExecute},
    {"AcbFreqLowRight", Ctrl(F(4)), H::AcbFreqLowRightExecute},
    {"AcbFreqHighLeft", Ctrl(F(5)), H::AcbFreqHighLeftExecute},
    {"AcbFreqHighRight", Ctrl(F(6)), H::AcbFreqHighRightExecute},
    {"AcbFFTSize", Ctrl(F(7)), H::AcbFFTSizeExecute},
    {"Action11", CtrlShift(F(7)), H::AcbFFTSizeExecute},
    {"AcbResetAParam1", CtrlShift('1'), H::Panel1Click},
    {"AcbResetAParam2", CtrlShift('2'), H::Panel1Click},
    {"AcbResetPParam1", CtrlShift('3'), H::Panel2Click},
    {"AcbResetPParam2", CtrlShift('4'), H::Panel2Click},
    {"AcbResetPanpot1", CtrlShift('5'), H::Panel3DblClick},
    {"AcbResetPanpot2", CtrlShift('6'), H::Panel3DblClick},
    {"AcbResetKeyChange2", CtrlShift('7'), H::Panel4Click},
    {"AcbResetKeyChange1", CtrlShift('8'), H::Panel4Click},
    {"AcbResetTempo1", CtrlShift('9'), H::Panel6DblClick},
    {"AcbResetTempo2", CtrlShift('0'), H::Panel6DblClick},
}};

// Virtual-key code of a Qt key, 0 when it has none here.
uint16_t VirtualKeyOf(int key, Qt::KeyboardModifiers modifiers) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return modifiers.testFlag(Qt::KeypadModifier) ? 0 : static_cast<uint16_t>(key);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<uint16_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<uint16_t>(0x70 + (key - Qt::Key_F1));
    return 0;
}

} // namespace

std::string_view HandlerName(KeyHandler handler) {
    switch (handler) {
    case H::Button1Click:
        return "Button1Click";
    case H::Button2Click:
        return "Button2Click";
    case H::Button5Click:
        return "Button5Click";
    case H::ProcessingButtonClick:
        return "ProcessingButtonClick";
    case H::Button4Click:
        return "Button4Click";
    case H::AcbEnableExecute:
        return "AcbEnableExecute";
    case H::AcbInverseExecute:
        return "AcbInverseExecute";
    case H::AcbAParamLeftExecute:
        return "AcbAParamLeftExecute";
    case H::AcbAParamRightExecute:
        return "AcbAParamRightExecute";
    case H::AcbPParamLeftExecute:
        return "AcbPParamLeftExecute";
    case H::AcbPParamRightExecute:
        return "AcbPParamRightExecute";
    case H::AcbPanpotLeftExecute:
        return "AcbPanpotLeftExecute";
    case H::AcbPanpotRightExecute:
        return "AcbPanpotRightExecute";
    case H::AcbKeyChangeDownExecute:
        return "AcbKeyChangeDownExecute";
    case H::AcbKeyChangeUpExecute:
        return "AcbKeyChangeUpExecute";
    case H::AcbTempoLeftExecute:
        return "AcbTempoLeftExecute";
    case H::AcbTempoRightExecute:
        return "AcbTempoRightExecute";
    case H::AcbFreqLowLeftExecute:
        return "AcbFreqLowLeftExecute";
    case H::AcbFreqLowRightExecute:
        return "AcbFreqLowRightExecute";
    case H::AcbFreqHighLeftExecute:
        return "AcbFreqHighLeftExecute";
    case H::AcbFreqHighRightExecute:
        return "AcbFreqHighRightExecute";
    case H::AcbFFTSizeExecute:
        return "AcbFFTSizeExecute";
    case H::Panel1Click:
        return "Panel1Click";
    case H::Panel2Click:
        return "Panel2Click";
    case H::Panel3DblClick:
        return "Panel3DblClick";
    case H::Panel4Click:
        return "Panel4Click";
    case H::Panel6DblClick:
        return "Panel6DblClick";
    }
    return {};
}

const std::array<KeyAction, kKeyActionCount>& KeyActions() {
    return kActions;
}

char MainRowDigitForScanCode(quint32 nativeScanCode) {
#if defined(Q_OS_MACOS)
    // macOS reports no scan code; the key symbol alone decides.
    Q_UNUSED(nativeScanCode);
    return 0;
#else
#if defined(Q_OS_WIN)
    // Set 1 scan codes: 0x02 is "1" ... 0x0A is "9", 0x0B is "0".
    constexpr quint32 first = 0x02;
#else
    // XKB key codes (evdev + 8): 10 is "1" ... 18 is "9", 19 is "0".
    constexpr quint32 first = 10;
#endif
    if (nativeScanCode < first || nativeScanCode > first + 9)
        return 0;
    const quint32 index = nativeScanCode - first;
    return index == 9 ? '0' : static_cast<char>('1' + index);
#endif
}

std::optional<uint16_t> StoredKeyValue(const KeyPress& press) {
    if (press.modifiers.testFlag(Qt::MetaModifier))
        return std::nullopt;
    uint16_t vk = VirtualKeyOf(press.key, press.modifiers);
    // With Shift held Qt reports the shifted symbol ("!" for 1 on a US layout); the physical
    // key is what counts.
    if (vk == 0 && !press.modifiers.testFlag(Qt::KeypadModifier))
        vk = static_cast<uint16_t>(MainRowDigitForScanCode(press.nativeScanCode));
    if (vk == 0)
        return std::nullopt;
    if (press.modifiers.testFlag(Qt::ControlModifier))
        vk |= kKeyCtrl;
    if (press.modifiers.testFlag(Qt::ShiftModifier))
        vk |= kKeyShift;
    if (press.modifiers.testFlag(Qt::AltModifier))
        vk |= kKeyAlt;
    return vk;
}

const KeyAction* FindKeyAction(uint16_t storedKey) {
    const auto it = std::find_if(kActions.begin(), kActions.end(), [storedKey](const KeyAction& a) {
        return a.storedKey == storedKey;
    });
    return it == kActions.end() ? nullptr : &*it;
}

const KeyAction* FindKeyAction(const KeyPress& press) {
    const auto stored = StoredKeyValue(press);
    return stored ? FindKeyAction(*stored) : nullptr;
}
