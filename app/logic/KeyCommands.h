#pragma once
// The main window's 33 keyboard actions and the mapping from a Qt key press to their stored
// key values. A stored value is 16 bits: the low byte the virtual-key code (digits 0x30..0x39
// of the main row, letters 0x41..0x5A, F1..F24 0x70..0x87), plus 0x4000 for Ctrl, 0x2000 for
// Shift and 0x8000 for Alt. Pure; UI thread.

#include <Qt>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr uint16_t kKeyCtrl = 0x4000;
inline constexpr uint16_t kKeyShift = 0x2000;
inline constexpr uint16_t kKeyAlt = 0x8000;

// The window handler an action runs; the enumerator is the handler's name.
enum class KeyHandler {
    Button1Click,
    Button2Click,
    Button5Click,
    ProcessingButtonClick,
    Button4Click,
    AcbEnableExecute,
    AcbInverseExecute,
    AcbAParamLeftExecute,
    AcbAParamRightExecute,
    AcbPParamLeftExecute,
    AcbPParamRightExecute,
    AcbPanpotLeftExecute,
    AcbPanpotRightExecute,
    AcbKeyChangeDownExecute,
    AcbKeyChangeUpExecute,
    AcbTempoLeftExecute,
    AcbTempoRightExecute,
    AcbFreqLowLeftExecute,
    AcbFreqLowRightExecute,
    AcbFreqHighLeftExecute,
    AcbFreqHighRightExecute,
    AcbFFTSizeExecute,
    Panel1Click,
    Panel2Click,
    Panel3DblClick,
    Panel4Click,
    Panel6DblClick,
};

std::string_view HandlerName(KeyHandler handler);

struct KeyAction {
    std::string_view action;
    uint16_t storedKey;
    KeyHandler handler;
};

inline constexpr std::size_t kKeyActionCount = 33;
const std::array<KeyAction, kKeyActionCount>& KeyActions();

// A key press as Qt reports it. nativeScanCode (QKeyEvent::nativeScanCode) lets Ctrl+Shift+digit
// match whatever symbol the layout puts on the shifted digit key; 0 when unknown.
struct KeyPress {
    int key = 0; // Qt::Key
    Qt::KeyboardModifiers modifiers;
    quint32 nativeScanCode = 0;
};

// The stored value of a key press, or nothing for keys without a virtual-key code here, for
// keypad digits (Qt::KeypadModifier) and for presses with Meta held.
std::optional<uint16_t> StoredKeyValue(const KeyPress& press);

// The digit key of the main row ('0'..'9') under a scan code of this platform, or 0.
char MainRowDigitForScanCode(quint32 nativeScanCode);

// The action bound to a stored value or a key press, or nullptr.
const KeyAction* FindKeyAction(uint16_t storedKey);
const KeyAction* FindKeyAction(const KeyPress& press);
