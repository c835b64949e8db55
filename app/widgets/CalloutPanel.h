#pragma once
// A translucent dark card with a pointer on its bottom edge, for the debug list.
// Pixels. UI thread only.

#include <QWidget>

namespace corvanel::window {

class CalloutPanel : public QWidget {
    Q_OBJECT
  public:
    // pointerOffset: from the left edge when positive, from the right edge when negative.
    CalloutPanel(int pointerWidth, int pointerLength, int pointerOffset, double opacity,
                 QWidget* parent = nullptr);

    int PointerLength() const { return FPointerLength; }
    double Opacity() const { return FOpacity; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int FPointerWidth;
    int FPointerLength;
    int FPointerOffset;
    double FOpacity;
};

} // namespace corvanel::window
