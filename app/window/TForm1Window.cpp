// The handlers that belong to the window itself.
#include "app/window/TForm1.h"

#include "app/widgets/CalloutPanel.h"
#include "app/widgets/Decorations.h"
#include "app/widgets/Expander.h"
#include "app/window/FormPositioning.h"

#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <cmath>
#include <string>
#include <vector>

using namespace corvanel::window;

void TForm1::FormActivate(QObject*) {
    update();
}

void TForm1::FormDeactivate(QObject*) {
    update();
}

void TForm1::FormPaint(const QRegion& region) {
    // Qt paints children after their parent in the same pass, so the overlay is drawn again
    // over this region as long as it is the topmost child; a sibling raised later (the debug
    // list) would hide it, so put it back on top.
    if (!WritingView || WritingView->isHidden() || region.isEmpty())
        return;
    const QObjectList& all = children();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if ((*it)->isWidgetType()) {
            if (*it != WritingView)
                WritingView->raise();
            return;
        }
    }
}

void TForm1::Expander1Resize(QObject*) {
    const double top = Expander1->geometry().top();
    const double height = Expander1->geometry().height();
    const int clientHeight = static_cast<int>(std::nearbyint(top + height + 15.0));
    setFixedSize(ClientWidth, clientHeight);
    // A window not yet shown gets its resize event late; the overlay must cover it now.
    WritingView->setGeometry(rect());
}

void TForm1::UpdateFormPosition(QWidget* form) {
    if (form)
        corvanel::window::UpdateFormPosition(*form);
}

void TForm1::Edit1DragEnter(QObject*, QDragEnterEvent*) {
    Chain().Edit1DragEnter();
}

void TForm1::Edit1DragOver(QObject*, QDragMoveEvent* event) {
    // Only the first file counts; a web address is no file and carries no path.
    std::vector<std::string> files;
    const QMimeData* mime = event->mimeData();
    if (mime && mime->hasUrls()) {
        for (const QUrl& url : mime->urls())
            files.push_back(url.isLocalFile()
                                ? QDir::toNativeSeparators(url.toLocalFile()).toStdString()
                                : std::string());
    }
    if (Chain().Edit1DragOver(files)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::Edit1DragDrop(QObject*, QDropEvent* event) {
    if (Chain().sDropPath().empty()) {
        event->ignore();
        return;
    }
    // A new file only stops the tempo stream; nothing is opened until play is pressed.
    Edit1->setText(QString::fromStdString(Chain().Edit1DragDrop()));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TForm1::VersionLabelMouseEnter(QObject*) {
    QFont font = VersionLabel->font();
    font.setUnderline(true);
    VersionLabel->setFont(font);
    VersionLabel->setStyleSheet(
        QStringLiteral("QLabel { color: #0000FF; background: transparent; }"));
}

void TForm1::VersionLabelMouseLeave(QObject*) {
    QFont font = VersionLabel->font();
    font.setUnderline(false);
    VersionLabel->setFont(font);
    VersionLabel->setStyleSheet(
        QStringLiteral("QLabel { color: #000000; background: transparent; }"));
}
