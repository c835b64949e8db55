#include "app/widgets/LinkLabel.h"

#include <QMouseEvent>

namespace corvanel::dialogs {

void ApplyLinkLook(QLabel* label, LinkLook look) {
    if (label == nullptr)
        return;
    const bool hovered = look == LinkLook::Hovered;
    QFont font = label->font();
    font.setBold(false);
    font.setItalic(false);
    font.setStrikeOut(false);
    font.setUnderline(hovered);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, hovered ? QColor(0, 0, 255, 255) : QColor(0, 0, 0, 255));
    label->setPalette(palette);
}

TLinkLabel::TLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    ApplyLinkLook(this, LinkLook::Resting);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::enterEvent(QEnterEvent* event) {
    emit mouseEntered();
    QLabel::enterEvent(event);
}

void TLinkLabel::leaveEvent(QEvent* event) {
    emit mouseLeft();
    QLabel::leaveEvent(event);
}

} // namespace corvanel::dialogs
