#include "app/widgets/CaptionPanel.h"

#include "app/widgets/WindowLook.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace corvanel::window {

namespace {
constexpr double PointerHeight = 5.0;
constexpr double PointerWidth = 10.0;
// Glow: softness 0.4 of a soft edge and opacity 0.9.
constexpr double GlowSoftness = 0.4;
constexpr double GlowOpacity = 0.9;
} // namespace

CaptionPanel::CaptionPanel(const QString& title, const QString& note, Style style, bool clickable,
                           QWidget* parent, int noteSize)
    : QFrame(parent), FStyle(style), FClickable(clickable) {
    FTitle = new QLabel(title, this);
    FTitle->setFont(InterfaceFont(12, true));
    FTitle->setAlignment(Qt::AlignCenter);
    FTitle->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (!note.isEmpty()) {
        FNote = new QLabel(note, this);
        FNote->setFont(InterfaceFont(noteSize));
        FNote->setAlignment(Qt::AlignCenter);
        FNote->setAttribute(Qt::WA_TransparentForMouseEvents);
        QPalette palette = FNote->palette();
        palette.setColor(QPalette::WindowText, Look::MutedText);
        FNote->setPalette(palette);
    }
    if (clickable) {
        setCursor(Qt::PointingHandCursor);
        FGlow = new QGraphicsDropShadowEffect(this);
        FGlow->setOffset(0.0, 0.0);
        FGlow->setBlurRadius(30.0 * GlowSoftness);
        QColor gold = Look::Gold;
        gold.setAlphaF(static_cast<float>(GlowOpacity));
        FGlow->setColor(gold);
        FGlow->setEnabled(false);
        setGraphicsEffect(FGlow);
    }
}

bool CaptionPanel::Glowing() const {
    return FGlow && FGlow->isEnabled();
}

void CaptionPanel::PlaceLabels() {
    const int top = FStyle == Style::Callout ? static_cast<int>(PointerHeight) : 0;
    const QRect body = rect().adjusted(2, top, -2, 0);
    if (!FNote) {
        FTitle->setGeometry(body);
        return;
    }
    const int half = body.height() / 2;
    FTitle->setGeometry(body.left(), body.top() + 1, body.width(), half);
    FNote->setGeometry(body.left(), body.top() + half - 1, body.width(), body.height() - half);
}

void CaptionPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    PlaceLabels();
}

void CaptionPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    if (FStyle == Style::Callout) {
        const QRectF body = r.adjusted(0, PointerHeight, 0, 0);
        path.addRoundedRect(body, 5.0, 5.0);
        QPainterPath pointer;
        const double cx = r.center().x();
        pointer.moveTo(cx - PointerWidth / 2.0, body.top() + 1.0);
        pointer.lineTo(cx, r.top());
        pointer.lineTo(cx + PointerWidth / 2.0, body.top() + 1.0);
        pointer.closeSubpath();
        path = path.united(pointer);
    } else {
        path.addRoundedRect(r, 4.0, 4.0);
    }
    const bool hot = Glowing();
    p.setPen(QPen(hot ? Look::Gold.darker(115) : Look::Border, 1.0));
    p.setBrush(FPressed ? QColor(0xFF, 0xF4, 0xD6)
                        : (hot ? QColor(0xFF, 0xFB, 0xEE) : Look::Surface));
    p.drawPath(path);
}

void CaptionPanel::enterEvent(QEnterEvent* event) {
    QFrame::enterEvent(event);
    if (FGlow && isEnabled()) {
        FGlow->setEnabled(true);
        update();
    }
}

void CaptionPanel::leaveEvent(QEvent* event) {
    QFrame::leaveEvent(event);
    FPressed = false;
    if (FGlow) {
        FGlow->setEnabled(false);
        update();
    }
}

void CaptionPanel::mousePressEvent(QMouseEvent* event) {
    if (FClickable && event->button() == Qt::LeftButton) {
        FPressed = true;
        update();
        event->accept();
        return;
    }
    QFrame::mousePressEvent(event);
}

void CaptionPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (FClickable && event->button() == Qt::LeftButton && FPressed) {
        FPressed = false;
        update();
        event->accept();
        if (rect().contains(event->position().toPoint()))
            emit Clicked();
        return;
    }
    QFrame::mouseReleaseEvent(event);
}

} // namespace corvanel::window
