#pragma once
// A label that looks and behaves like a link: hand cursor, click, and hover events that
// the owner turns into the link look. UI thread only.

#include <QLabel>

namespace corvanel::dialogs {

enum class LinkLook {
    Resting, // no font style, opaque black
    Hovered, // underlined, opaque blue
};

// Sets the label's own font style and text colour, whatever the visual style says.
void ApplyLinkLook(QLabel* label, LinkLook look);

class TLinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TLinkLabel(const QString& text, QWidget* parent = nullptr);

  signals:
    void clicked();
    void mouseEntered();
    void mouseLeft();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

} // namespace corvanel::dialogs
