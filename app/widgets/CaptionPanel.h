#pragma once
// The caption of a parameter group: a small callout (or a plain strip) holding a bold title
// and an optional note. A clickable one shows a hand cursor, glows gold while the pointer is
// over it and raises Clicked() on a click. UI thread only.

#include <QFrame>

class QGraphicsDropShadowEffect;
class QLabel;

namespace corvanel::window {

class CaptionPanel : public QFrame {
    Q_OBJECT
  public:
    enum class Style {
        Callout, // rounded card with a small pointer up towards its control
        Plain    // flat rounded strip
    };

    // note may be empty; noteSize is the note's pixel size.
    CaptionPanel(const QString& title, const QString& note, Style style, bool clickable,
                 QWidget* parent = nullptr, int noteSize = 10);

    QLabel* Title() const { return FTitle; }
    QLabel* Note() const { return FNote; }
    bool Clickable() const { return FClickable; }
    // True while the hover glow is shown.
    bool Glowing() const;

  signals:
    void Clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void PlaceLabels();

    Style FStyle;
    bool FClickable;
    bool FPressed = false;
    QLabel* FTitle = nullptr;
    QLabel* FNote = nullptr;
    QGraphicsDropShadowEffect* FGlow = nullptr;
};

} // namespace corvanel::window
