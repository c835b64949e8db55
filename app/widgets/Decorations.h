#pragma once
// Small painted parts of the window: dashed rules, the player's frame and the busy overlay's
// veil. Pixels. UI thread only.

#include <QColor>
#include <QGroupBox>
#include <QWidget>

namespace corvanel::window {

// A dashed rule along the middle of the widget, horizontal or vertical by its shape.
class DashedLine : public QWidget {
    Q_OBJECT
  public:
    DashedLine(Qt::Orientation orientation, QColor colour, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Qt::Orientation FOrientation;
    QColor FColour;
};

// A group box whose caption strip is left for a picture laid over it: the frame is broken
// for gapWidth pixels from gapLeft instead of around the caption text.
class PictureGroupBox : public QGroupBox {
    Q_OBJECT
  public:
    PictureGroupBox(const QString& title, int gapLeft, int gapWidth, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int FGapLeft;
    int FGapWidth;
};

// A full-window veil: fills itself and swallows the pointer so nothing below can be used.
class Veil : public QWidget {
    Q_OBJECT
  public:
    Veil(QColor fill, double opacity, QWidget* parent = nullptr);
    double Opacity() const { return FOpacity; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor FFill;
    double FOpacity;
};

} // namespace corvanel::window
