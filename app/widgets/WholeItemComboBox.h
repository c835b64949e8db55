#pragma once
// A drop-down list whose open list is wide enough for every item, however narrow the closed
// box is drawn, and whose items take the window's style sheet (the highlighted one included).
// UI thread only.

#include <QComboBox>

namespace corvanel::window {

class WholeItemComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit WholeItemComboBox(QWidget* parent = nullptr);
    void showPopup() override;
};

// Lets the items of any drop-down list (a file dialog's, say) take the style sheet.
void UseStyledItems(QComboBox* box);

} // namespace corvanel::window
