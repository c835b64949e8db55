#pragma once
// A track bar or scroll bar that holds a single-precision value with a floating range and
// step, drawn by an integer Qt slider underneath. UI thread only.
//
// Units are the caller's (dB, degrees, seconds, log10 of Hz...). The value is kept as the
// exact float that was set; the integer slider is only its picture. Changed() is raised
// whenever the held value becomes a different float, whether the user moved the bar or the
// program called SetValue/SetMin/SetMax, and never when it stays the same.

#include <QWidget>

class QAbstractSlider;

namespace corvanel::window {

class FloatTrackBar : public QWidget {
    Q_OBJECT
  public:
    enum class Kind {
        TrackBar,     // slider with a round thumb
        ScrollBar,    // flat scroll bar
        ThinScrollBar // a hairline scroll bar a few pixels high
    };

    explicit FloatTrackBar(Qt::Orientation orientation, Kind kind = Kind::TrackBar,
                           QWidget* parent = nullptr);

    float Value() const { return FValue; }
    // Clamped to [Min, Max]; with a Frequency, snapped to Min + k * Frequency first.
    void SetValue(float value);

    float Min() const { return FMin; }
    float Max() const { return FMax; }
    // Moving a bound past the value pulls the value along (and raises Changed()).
    void SetMin(float min);
    void SetMax(float max);
    void SetRange(float min, float max);

    // Snapping step of the value; 0 means continuous.
    float Frequency() const { return FFrequency; }
    void SetFrequency(float frequency);

    // Step of the arrow keys and of a click on the bar; Frequency when 0.
    float SmallChange() const { return FSmallChange; }
    void SetSmallChange(float step);

    // Without tracking a drag reports only when the user lets go.
    bool Tracking() const;
    void SetTracking(bool tracking);

    // General-purpose integer of the control (0 unless a caller sets it).
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

    Qt::Orientation Orientation() const { return FOrientation; }
    Kind BarKind() const { return FKind; }
    QAbstractSlider* Slider() const { return FSlider; }

    // Positions of the underlying integer slider over the whole range.
    int Resolution() const { return FSteps; }

  signals:
    void Changed();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    float Normalise(float value) const;
    float ValueAtPosition(int position) const;
    int PositionOfValue(float value) const;
    void Rescale();
    void SyncSlider();
    void Assign(float value);
    void OnSliderValue(int position);

    Qt::Orientation FOrientation;
    Kind FKind;
    QAbstractSlider* FSlider = nullptr;
    float FValue = 0.0f;
    float FMin = 0.0f;
    float FMax = 10.0f;
    float FFrequency = 0.0f;
    float FSmallChange = 0.0f;
    int FSteps = 0;
    int FTag = 0;
    bool FSyncing = false;
};

} // namespace corvanel::window
