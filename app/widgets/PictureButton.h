#pragma once
// A push button holding a picture and, optionally, a caption label, each a child label so
// that they can be reached by name. Pixels. UI thread only.

#include <QPushButton>

class QLabel;

namespace corvanel::window {

class PictureButton : public QPushButton {
    Q_OBJECT
  public:
    enum class Placement {
        Left,   // picture at the left edge, caption centred over the whole button
        Centre, // picture centred, no caption
        Fill    // picture fills the button
    };

    // picture: a resource path of an SVG drawn at pictureSize; caption may be empty.
    PictureButton(const QString& picture, QSize pictureSize, const QString& caption,
                  Placement placement, QWidget* parent = nullptr, int leftMargin = 8);

    QLabel* Picture() const { return FPicture; }
    QLabel* Caption() const { return FCaption; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void PlaceChildren();

    QLabel* FPicture = nullptr;
    QLabel* FCaption = nullptr;
    QSize FPictureSize;
    Placement FPlacement;
    int FLeftMargin;
};

} // namespace corvanel::window
