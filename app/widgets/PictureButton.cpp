#include "app/widgets/PictureButton.h"

#include "app/widgets/Artwork.h"

#include <QLabel>

namespace corvanel::window {

PictureButton::PictureButton(const QString& picture, QSize pictureSize, const QString& caption,
                             Placement placement, QWidget* parent, int leftMargin)
    : QPushButton(parent), FPictureSize(pictureSize), FPlacement(placement),
      FLeftMargin(leftMargin) {
    FPicture = new QLabel(this);
    FPicture->setPixmap(RenderArt(picture, pictureSize, devicePixelRatioF()));
    FPicture->setAttribute(Qt::WA_TransparentForMouseEvents);
    FPicture->setAlignment(Qt::AlignCenter);
    if (!caption.isEmpty()) {
        FCaption = new QLabel(caption, this);
        FCaption->setAlignment(Qt::AlignCenter);
        FCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    setAccessibleName(caption);
    PlaceChildren();
}

void PictureButton::PlaceChildren() {
    const QRect r = rect();
    switch (FPlacement) {
    case Placement::Left:
        FPicture->setGeometry(FLeftMargin, (r.height() - FPictureSize.height()) / 2,
                              FPictureSize.width(), FPictureSize.height());
        break;
    case Placement::Centre:
        FPicture->setGeometry((r.width() - FPictureSize.width()) / 2,
                              (r.height() - FPictureSize.height()) / 2, FPictureSize.width(),
                              FPictureSize.height());
        break;
    case Placement::Fill:
        FPicture->setGeometry((r.width() - FPictureSize.width()) / 2,
                              (r.height() - FPictureSize.height()) / 2, FPictureSize.width(),
                              FPictureSize.height());
        break;
    }
    if (FCaption) {
        // Centred in the room the picture leaves, so the two never overlap.
        const int left = FPlacement == Placement::Left ? FLeftMargin + FPictureSize.width() : 0;
        FCaption->setGeometry(left, 0, r.width() - left - (FPlacement == Placement::Left ? 2 : 0),
                              r.height());
    }
}

void PictureButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    PlaceChildren();
}

} // namespace corvanel::window
