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

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void FollowEnabled();

    QTimer* FTimer = nullptr;
    int FPhase = 0;
};

} // namespace corvanel::window
