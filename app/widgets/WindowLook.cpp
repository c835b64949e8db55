#include "app/widgets/WindowLook.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace corvanel::window {

QFont InterfaceFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                      QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI"),
                      QStringLiteral("Droid Sans Fallback"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont FixedFont(int pixelSize) {
    QFont font;
    // The CJK monospace face comes last: its tall lines would not fit the list's 14 rows.
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"),
                      QStringLiteral("Noto Mono"), QStringLiteral("Noto Sans Mono CJK JP")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}

QString WindowStyleSheet() {
    const auto c = [](const QColor& color) { return color.name(); };
    return QStringLiteral(R"(
QPushButton {
    color: %1; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #EAEFF5);
    border: 1px solid %2; border-radius: 4px; padding: 0px 4px;
}
QPushButton:hover { border-color: %3; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #E1EBF8); }
QPushButton:pressed { background: #D6E3F5; }
QPushButton:disabled { color: %4; background: #F1F3F6; border-color: #D8DEE6; }
QPushButton:focus { outline: none; }
QLineEdit {
    color: %1; background: #FFFFFF; border: 1px solid %2; border-radius: 3px;
    padding: 0px 4px; selection-background-color: %3;
}
QLineEdit:focus { border-color: %3; }
QLineEdit:read-only { background: #F7F9FB; }
QLineEdit:disabled { color: %4; background: #F1F3F6; }
QComboBox {
    color: %1; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #EEF2F7);
    border: 1px solid %2; border-radius: 3px; padding: 0px 2px 0px 5px;
}
QComboBox:hover { border-color: %3; }
QComboBox::drop-down { width: 14px; border: none; }
QComboBox::down-arrow { image: url(:/art/chevron.svg); width: 8px; height: 8px; }
QComboBox[corvanelKind="popup"] { padding: 0px 4px; }
QComboBox[corvanelKind="popup"]::drop-down { width: 0px; }
QComboBox[corvanelKind="popup"]::down-arrow { image: none; width: 0px; }
QComboBox QAbstractItemView {
    background: #FFFFFF; border: 1px solid %2; selection-background-color: %3;
    selection-color: #FFFFFF; outline: none;
}
QComboBox QAbstractItemView::item { color: %1; background: #FFFFFF; padding: 2px 6px; }
QComboBox QAbstractItemView::item:selected { color: #FFFFFF; background: %3; }
QDoubleSpinBox {
    color: %1; background: #FFFFFF; border: 1px solid %2; border-radius: 3px; padding: 0px 2px;
}
QDoubleSpinBox:focus { border-color: %3; }
QDoubleSpinBox::up-button, QDoubleSpinBox::down-button { width: 16px; border: none; background: transparent; }
QDoubleSpinBox::up-arrow { image: url(:/art/chevron-up.svg); width: 8px; height: 8px; }
QDoubleSpinBox::down-arrow { image: url(:/art/chevron.svg); width: 8px; height: 8px; }
QSlider::groove:horizontal { height: 4px; background: #D3DBE6; border-radius: 2px; }
QSlider::sub-page:horizontal { background: %3; border-radius: 2px; }
QSlider::handle:horizontal {
    width: 12px; height: 12px; margin: -5px 0px; border-radius: 7px;
    background: #FFFFFF; border: 1px solid %3;
}
QSlider::groove:vertical { width: 4px; background: #D3DBE6; border-radius: 2px; }
QSlider::add-page:vertical { background: %3; border-radius: 2px; }
QSlider::handle:vertical {
    width: 12px; height: 12px; margin: 0px -5px; border-radius: 7px;
    background: #FFFFFF; border: 1px solid %3;
}
QSlider::handle:hover { background: #EAF1FC; }
QSlider::sub-page:horizontal:disabled, QSlider::add-page:vertical:disabled { background: %4; }
QScrollBar[corvanelKind="thin"]:horizontal { height: 9px; background: #DDE3EB; border: none; border-radius: 4px; }
QScrollBar[corvanelKind="thin"]::handle:horizontal { background: %3; border-radius: 4px; min-width: 14px; }
QScrollBar[corvanelKind="flat"]:horizontal { height: 18px; background: #E4E9F0; border: 1px solid #D3DBE6; border-radius: 4px; }
QScrollBar[corvanelKind="flat"]::handle:horizontal {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #E3EAF4);
    border: 1px solid %3; border-radius: 4px; min-width: 18px; margin: 1px 0px;
}
QScrollBar[corvanelKind]:horizontal { margin: 0px; } /* a box of its own: the drag then maps over the drawn groove */
QScrollBar[corvanelKind]::add-line, QScrollBar[corvanelKind]::sub-line { width: 0px; height: 0px; border: none; background: none; }
QScrollBar[corvanelKind]::add-page, QScrollBar[corvanelKind]::sub-page { background: none; }
QProgressBar { background: #E4E9F0; border: 1px solid #D3DBE6; border-radius: 4px; }
QProgressBar::chunk { background: %5; border-radius: 3px; }
QCheckBox { color: %1; spacing: 4px; }
QPlainTextEdit[corvanelKind="callout"] { background: transparent; border: none; color: #E8EEF6; }
QToolTip { color: %1; background: #FFFFFF; border: 1px solid %2; }
)")
        .arg(c(Look::Text), c(Look::Border), c(Look::Accent), c(Look::Disabled), c(Look::Tag));
}

void ApplyCorvanelLook(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
    QPalette palette = app.palette();
    palette.setColor(QPalette::Window, Look::Window);
    palette.setColor(QPalette::WindowText, Look::Text);
    palette.setColor(QPalette::Base, Look::Surface);
    palette.setColor(QPalette::Text, Look::Text);
    palette.setColor(QPalette::Button, Look::Window);
    palette.setColor(QPalette::ButtonText, Look::Text);
    palette.setColor(QPalette::Highlight, Look::Accent);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, Look::Disabled);
    palette.setColor(QPalette::Disabled, QPalette::Text, Look::Disabled);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, Look::Disabled);
    app.setPalette(palette);
    app.setFont(InterfaceFont());
}

} // namespace corvanel::window
