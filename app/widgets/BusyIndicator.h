#pragma once
// A ring of dots that turns while the widget is enabled and stands still otherwise.
// UI thread only.

#include <QWidget>

class QTimer;

namespace corvanel::window {

class BusyIndicator : public QWidget {
    Q_OBJECT
  public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    bool IsRunning() const;
    // Where the ring is drawn, in the widget's own coordinates: centred in this box, sized to
    // its shorter side. The whole widget unless set.
    void SetRingBox(const QRectF& box);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void FollowEnabled();

    QTimer* FTimer = nullptr;
    int FPhase = 0;
    QRectF FRingBox;
};

} // namespace corvanel::window
