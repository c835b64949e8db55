#pragma once
// A box with a 25-pixel header that folds its content away. Heights in pixels.
// Resized() is raised after every change of its size, folding included. UI thread only.

#include <QWidget>

class QLabel;
class QToolButton;

namespace corvanel::window {

class Expander : public QWidget {
    Q_OBJECT
  public:
    static constexpr int HeaderHeight = 25;

    Expander(const QString& caption, int contentHeight, QWidget* parent = nullptr);

    // The header row (for controls that sit in it) and the content area below it.
    QWidget* Header() const { return FHeader; }
    QWidget* Content() const { return FContent; }
    QLabel* Caption() const { return FCaption; }

    bool IsExpanded() const { return FExpanded; }
    void SetExpanded(bool expanded);
    int ContentHeight() const { return FContentHeight; }

  signals:
    void Resized();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void UpdateArrow();
    void ApplySize();

    QWidget* FHeader = nullptr;
    QWidget* FContent = nullptr;
    QToolButton* FArrow = nullptr;
    QLabel* FCaption = nullptr;
    int FContentHeight;
    bool FExpanded = true;
};

} // namespace corvanel::window
