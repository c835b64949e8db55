#pragma once
// A bare drawing surface: each paint calls OnPaint with a painter in the box's own
// coordinates (origin top left, y down, logical pixels). Black until someone draws.
// UI thread only.

#include <QWidget>

#include <cstdint>
#include <functional>

namespace corvanel::window {

class PaintBox : public QWidget {
    Q_OBJECT
  public:
    explicit PaintBox(QWidget* parent = nullptr);

    std::function<void(QPainter&)> OnPaint;

    // General-purpose integer of the control (0 unless a caller sets it).
    std::int64_t Tag = 0;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace corvanel::window
