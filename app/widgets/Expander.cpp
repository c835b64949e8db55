#include "app/widgets/Expander.h"

#include "app/widgets/WindowLook.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace corvanel::window {

Expander::Expander(const QString& caption, int contentHeight, QWidget* parent)
    : QWidget(parent), FContentHeight(contentHeight) {
    FHeader = new QWidget(this);
    FHeader->setObjectName(QStringLiteral("ExpanderHeader"));
    FHeader->setCursor(Qt::PointingHandCursor);
    FHeader->installEventFilter(this);

    FArrow = new QToolButton(FHeader);
    FArrow->setAutoRaise(true);
    FArrow->setFocusPolicy(Qt::TabFocus);
    FArrow->setGeometry(4, 3, 19, 19);
    FArrow->setIconSize(QSize(10, 10));
    FArrow->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    connect(FArrow, &QToolButton::clicked, this, [this] { SetExpanded(!FExpanded); });

    FCaption = new QLabel(caption, FHeader);
    FCaption->setFont(InterfaceFont(12, true));
    FCaption->setGeometry(26, 0, 240, HeaderHeight);
    FCaption->setAttribute(Qt::WA_TransparentForMouseEvents);

    FContent = new QWidget(this);
    FContent->setObjectName(QStringLiteral("ExpanderContent"));
    UpdateArrow();
    resize(width(), HeaderHeight + FContentHeight);
    ApplySize();
}

void Expander::SetExpanded(bool expanded) {
    if (expanded == FExpanded)
        return;
    FExpanded = expanded;
    FContent->setVisible(expanded);
    UpdateArrow();
    resize(width(), expanded ? HeaderHeight + FContentHeight : HeaderHeight);
    // A widget not on screen gets its resize event only when shown; report the size now.
    if (!isVisible())
        ApplySize();
}

void Expander::UpdateArrow() {
    FArrow->setIcon(QIcon(FExpanded ? QStringLiteral(":/art/chevron.svg")
                                    : QStringLiteral(":/art/chevron-right.svg")));
    FArrow->setToolTip(FExpanded ? QStringLiteral("たたむ") : QStringLiteral("ひろげる"));
}

void Expander::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplySize();
}

void Expander::ApplySize() {
    FHeader->setGeometry(0, 0, width(), HeaderHeight);
    FContent->setGeometry(0, HeaderHeight, width(), FContentHeight);
    emit Resized();
}

bool Expander::eventFilter(QObject* watched, QEvent* event) {
    // A click anywhere on the bare header folds or unfolds, like its arrow.
    if (watched == FHeader && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            FHeader->rect().contains(mouse->position().toPoint())) {
            SetExpanded(!FExpanded);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Expander::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(Look::Border, 1.0));
    p.setBrush(QColor(0xFA, 0xFB, 0xFD));
    p.drawRoundedRect(r, 6.0, 6.0);
    // Header band.
    QLinearGradient band(0, 0, 0, HeaderHeight);
    band.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    band.setColorAt(1.0, QColor(0xE9, 0xEE, 0xF5));
    p.setBrush(band);
    p.setPen(Qt::NoPen);
    QRectF head(r.left() + 0.5, r.top() + 0.5, r.width() - 1.0, HeaderHeight - 1.0);
    p.drawRoundedRect(head, 5.5, 5.5);
    if (FExpanded) {
        p.fillRect(QRectF(head.left(), head.center().y(), head.width(), head.height() / 2.0), band);
        p.setPen(QPen(Look::Border, 1.0));
        p.drawLine(QPointF(r.left(), HeaderHeight - 0.5), QPointF(r.right(), HeaderHeight - 0.5));
    }
}

} // namespace corvanel::window
