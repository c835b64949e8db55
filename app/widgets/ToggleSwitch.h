#pragma once
// An on/off switch drawn as a pill with a sliding knob. UI thread only.
// Switched() is raised whenever IsChecked changes, by the user or by SetChecked.

#include <QAbstractButton>

class QVariantAnimation;

namespace corvanel::window {

class ToggleSwitch : public QAbstractButton {
    Q_OBJECT
  public:
    explicit ToggleSwitch(QWidget* parent = nullptr);

    bool IsChecked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }

    QSize sizeHint() const override { return {41, 17}; }

  signals:
    void Switched();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QVariantAnimation* FKnob = nullptr;
    double FKnobPosition = 0.0; // 0 off, 1 on
};

} // namespace corvanel::window
