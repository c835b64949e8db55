#pragma once
// The window's palette, fonts and style sheet, in one place so that every widget of the
// window agrees. Sizes in pixels. UI thread only.

#include <QColor>
#include <QFont>
#include <QString>

class QApplication;

namespace corvanel::window {

namespace Look {
inline const QColor Window{0xF3, 0xF5, 0xF8};
inline const QColor Surface{0xFF, 0xFF, 0xFF};
inline const QColor Border{0xC3, 0xCD, 0xD9};
inline const QColor Text{0x1E, 0x29, 0x3B};
inline const QColor MutedText{0x5B, 0x67, 0x7A};
inline const QColor Accent{0x2F, 0x6F, 0xD6};
inline const QColor Brand{0x1B, 0x3A, 0x5C};
inline const QColor Tag{0x2E, 0x9D, 0x5B};
inline const QColor Gold{0xFF, 0xC4, 0x2E};
inline const QColor Stop{0xE0, 0x4F, 0x4F};
inline const QColor SwitchOff{0xC9, 0xD2, 0xDE};
inline const QColor Disabled{0xA9, 0xB4, 0xC2};
inline const QColor DashedLine{0xCF, 0xCF, 0xCF};
inline const QColor LinkHover{0x00, 0x00, 0xFF};
} // namespace Look

// The interface font: a Japanese sans-serif with fallbacks, at the given pixel size.
QFont InterfaceFont(int pixelSize = 12, bool bold = false);
// The debug memo's fixed-pitch font.
QFont FixedFont(int pixelSize = 12);

// The style sheet of the whole window.
QString WindowStyleSheet();

// Fusion style, our palette and font.
void ApplyCorvanelLook(QApplication& app);

} // namespace corvanel::window
