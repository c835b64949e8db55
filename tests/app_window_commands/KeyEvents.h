#pragma once
// Key presses as the X11 platform reports them: the Qt key of the layout (the shifted symbol
// when Shift is held on a digit), the modifiers and the XKB key code as native scan code.
#include "app/logic/KeyCommands.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

inline constexpr quint32 kXkbDigit1 = 10; // "1" .. "9" are 10 .. 18, "0" is 19
inline constexpr quint32 kXkbF1 = 67;     // F1 .. F10 are 67 .. 76

// A US layout's symbols on Shift+1 .. Shift+9, Shift+0.
inline Qt::Key ShiftedDigitKey(char digit) {
    static constexpr Qt::Key kShifted[10] = {
        Qt::Key_ParenRight, Qt::Key_Exclam,   Qt::Key_At,          Qt::Key_NumberSign,
        Qt::Key_Dollar,     Qt::Key_Percent,  Qt::Key_AsciiCircum, Qt::Key_Ampersand,
        Qt::Key_Asterisk,   Qt::Key_ParenLeft};
    return kShifted[digit - '0'];
}

inline quint32 DigitScanCode(char digit) {
    return digit == '0' ? kXkbDigit1 + 9 : kXkbDigit1 + quint32(digit - '1');
}

struct RealKey {
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    quint32 scanCode = 0;
};

// The press that a user makes for a stored key value of the command table.
inline RealKey RealKeyFor(uint16_t storedKey) {
    RealKey k;
    const auto vk = static_cast<char>(storedKey & 0xFF);
    if (storedKey & kKeyCtrl)
        k.modifiers |= Qt::ControlModifier;
    const bool shift = storedKey & kKeyShift;
    if (shift)
        k.modifiers |= Qt::ShiftModifier;
    if (vk >= '0' && vk <= '9') {
        k.key = shift ? ShiftedDigitKey(vk) : Qt::Key(Qt::Key_0 + (vk - '0'));
        k.scanCode = DigitScanCode(vk);
    } else if (vk >= 'A' && vk <= 'Z') {
        static constexpr quint32 kLetterCodes[26] = {38, 56, 54, 40, 26, 41, 42, 43, 31,
                                                     44, 45, 46, 58, 57, 32, 33, 24, 27,
                                                     39, 28, 30, 55, 25, 53, 29, 52};
        k.key = Qt::Key_A + (vk - 'A');
        k.scanCode = kLetterCodes[vk - 'A'];
    } else {
        const int n = (storedKey & 0xFF) - 0x70; // F1 = 0
        k.key = Qt::Key_F1 + n;
        k.scanCode = kXkbF1 + quint32(n);
    }
    return k;
}

// Sends the press (and its release) to `target` through the application, as the platform
// would: the application's filters see it first.
inline void Press(QWidget* target, const RealKey& k) {
    QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.scanCode, 0, 0);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, k.scanCode, 0, 0);
    QApplication::sendEvent(target, &release);
}

inline void Press(QWidget* target, uint16_t storedKey) {
    Press(target, RealKeyFor(storedKey));
}
