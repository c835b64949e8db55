#include "app/dialogs/FormPlacement.h"

#include "app/logic/FormPosition.h"

#include <QWidget>

namespace corvanel::dialogs {

void UpdateFormPosition(QWidget* form, const QWidget* reference) {
    if (form == nullptr || reference == nullptr)
        return;
    // Client areas, not frames: a dialog's frame is unknown until it is first shown.
    const QRect ref = reference->geometry();
    const FormPoint at = CentredFormPosition({ref.left(), ref.top(), ref.width(), ref.height()},
                                             form->width(), form->height());
    form->setGeometry(at.left, at.top, form->width(), form->height());
}

} // namespace corvanel::dialogs
