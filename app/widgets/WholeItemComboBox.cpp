#include "app/widgets/WholeItemComboBox.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace corvanel::window {

WholeItemComboBox::WholeItemComboBox(QWidget* parent) : QComboBox(parent) {
    UseStyledItems(this);
}

void UseStyledItems(QComboBox* box) {
    // The platform's own item painter ignores the style sheet's colours for the highlight.
    box->setItemDelegate(new QStyledItemDelegate(box));
}

void WholeItemComboBox::showPopup() {
    // The items' own width as their delegate asks for it, plus the list's frame; the list
    // grows to it, never shrinks below the box.
    QAbstractItemView* list = view();
    int needed = list->sizeHintForColumn(0) + 2 * list->frameWidth();
    if (count() > maxVisibleItems())
        needed += list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(std::max(needed, width()));
    QComboBox::showPopup();
}

} // namespace corvanel::window
