// The window's own behaviour: folding, centring, dropping a path, the link look, the overlay.
#include "app/widgets/CalloutPanel.h"
#include "app/widgets/Decorations.h"
#include "app/widgets/Expander.h"
#include "tests/support/window/FormFixture.h"
#include "app/window/FormPositioning.h"

#include <QApplication>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

using namespace corvanel::window;

namespace {

TEST_F(FormTest, HeightFollowsTheExpanderAndTheWidthStays) {
    EXPECT_EQ(form->size(), QSize(523, 512));
    form->Expander1->SetExpanded(false);
    EXPECT_EQ(form->size(), QSize(523, 288));
    EXPECT_EQ(form->WritingView->geometry(), form->rect()); // the overlay still covers it all
    form->Expander1->SetExpanded(true);
    EXPECT_EQ(form->size(), QSize(523, 512));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()); // fixed, not resizable
    EXPECT_EQ(form->WritingView->geometry(), form->rect());
}

struct Centring {
    const char* name;
    QRect reference;
    QSize dialog;
    QPoint expected;
};

class UpdateFormPositionCases : public FormTest, public ::testing::WithParamInterface<Centring> {};

TEST_P(UpdateFormPositionCases, CentresADialogOverItsOwnerHalvesToEven) {
    const Centring& c = GetParam();
    QWidget owner(nullptr, Qt::Window);
    owner.setGeometry(c.reference);
    QDialog dialog(&owner);
    dialog.setGeometry(QRect(QPoint(7, 9), c.dialog));
    SetFormPositionSetting(dialog, FormPositionSetting::OwnerFormCenter);

    form->UpdateFormPosition(&dialog);

    EXPECT_EQ(dialog.frameGeometry().topLeft(), c.expected);
    EXPECT_EQ(dialog.size(), c.dialog);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateFormPositionCases,
    ::testing::Values(Centring{"even", {100, 100, 600, 500}, {300, 200}, {250, 250}},
                      Centring{"half_down_to_even", {100, 100, 600, 500}, {303, 200}, {248, 250}},
                      Centring{"half_up_to_even", {100, 100, 600, 500}, {301, 201}, {250, 250}},
                      Centring{"larger_than_owner", {100, 100, 600, 500}, {800, 700}, {0, 0}}),
    [](const ::testing::TestParamInfo<Centring>& p) { return std::string(p.param.name); });

TEST_F(FormTest, UpdateFormPositionFollowsThePositionSetting) {
    form->setGeometry(40, 30, 523, 512);
    QDialog onMain;
    onMain.setGeometry(1, 2, 200, 100);
    SetFormPositionSetting(onMain, FormPositionSetting::MainFormCenter);
    ASSERT_EQ(MainForm(), form.get());
    form->UpdateFormPosition(&onMain);
    EXPECT_EQ(onMain.frameGeometry().topLeft(), QPoint(40 + 162, 30 + 206));

    QDialog designed(form.get());
    designed.setGeometry(5, 6, 200, 100);
    form->UpdateFormPosition(&designed); // no setting: stays
    EXPECT_EQ(designed.frameGeometry().topLeft(), QPoint(5, 6));

    QWidget child(form.get()); // an owner that is not a form
    QDialog underChild(&child);
    underChild.setGeometry(5, 6, 200, 100);
    SetFormPositionSetting(underChild, FormPositionSetting::OwnerFormCenter);
    form->UpdateFormPosition(&underChild);
    EXPECT_EQ(underChild.frameGeometry().topLeft(), QPoint(5, 6));

    // The main window centres itself on the screen and is left alone here.
    EXPECT_EQ(GetFormPositionSetting(*form), FormPositionSetting::ScreenCenter);
    form->UpdateFormPosition(form.get());
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(40, 30));
}

struct Drop {
    const char* name;
    const char* target;
    QList<QUrl> urls;
    QString text;
    bool accepted;
    QString edit1;
};

class DropCases : public FormTest, public ::testing::WithParamInterface<Drop> {};

TEST_P(DropCases, OnlyAFilePathIsTakenAndOnlyTheFirst) {
    const Drop& c = GetParam();
    form->Edit1->setText(QStringLiteral("/old/path.wav"));
    QWidget* target = Control(c.target);
    ASSERT_NE(target, nullptr);
    QMimeData mime;
    if (!c.urls.isEmpty())
        mime.setUrls(c.urls);
    if (!c.text.isEmpty())
        mime.setText(c.text);

    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_EQ(enter.isAccepted(), c.accepted);
    QDragMoveEvent move(QPoint(12, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    EXPECT_EQ(move.isAccepted(), c.accepted);
    if (c.accepted) {
        QDropEvent drop(QPointF(12, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_TRUE(drop.isAccepted());
    }
    EXPECT_EQ(form->Edit1->text(), c.edit1);
}

INSTANTIATE_TEST_SUITE_P(Cases, DropCases,
                         ::testing::Values(Drop{"file_on_path_box",
                                                "Edit1",
                                                {QUrl::fromLocalFile("/music/歌 1.mp3")},
                                                {},
                                                true,
                                                QStringLiteral("/music/歌 1.mp3")},
                                           Drop{"file_on_banner",
                                                "Image6",
                                                {QUrl::fromLocalFile("/music/a.wav")},
                                                {},
                                                true,
                                                QStringLiteral("/music/a.wav")},
                                           Drop{"first_of_several",
                                                "Edit1",
                                                {QUrl::fromLocalFile("/music/first.ogg"),
                                                 QUrl::fromLocalFile("/music/second.wav")},
                                                {},
                                                true,
                                                QStringLiteral("/music/first.ogg")},
                                           Drop{"any_extension",
                                                "Edit1",
                                                {QUrl::fromLocalFile("/docs/notes.txt")},
                                                {},
                                                true,
                                                QStringLiteral("/docs/notes.txt")},
                                           Drop{"text_only",
                                                "Edit1",
                                                {},
                                                QStringLiteral("/music/a.wav"),
                                                false,
                                                QStringLiteral("/old/path.wav")},
                                           Drop{"web_address",
                                                "Image6",
                                                {QUrl("https://example.com/a.mp3")},
                                                {},
                                                false,
                                                QStringLiteral("/old/path.wav")}),
                         [](const ::testing::TestParamInfo<Drop>& p) {
                             return std::string(p.param.name);
                         });

// Whether the label, as drawn, shows strong blue ink.
bool DrawnInBlue(QLabel* label) {
    const QImage image = label->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 200 && c.red() < 90 && c.green() < 90)
                return true;
        }
    return false;
}

TEST_F(FormTest, VersionLabelLooksLikeALinkOnlyUnderThePointer) {
    QLabel* label = form->VersionLabel;
    EXPECT_FALSE(label->font().underline());
    EXPECT_FALSE(DrawnInBlue(label));

    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(label, &enter);
    EXPECT_TRUE(label->font().underline());
    EXPECT_TRUE(DrawnInBlue(label));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(label, &leave);
    EXPECT_FALSE(label->font().underline());
    EXPECT_FALSE(DrawnInBlue(label));
}

TEST_F(FormTest, TheBusyOverlayStaysAboveTheDebugListWhenPainted) {
    form->show();
    form->WritingView->show();
    form->CalloutPanel1->show();
    form->CalloutPanel1->raise();
    // Children are kept bottom to top.
    const auto stacked = [&](QObject* child) { return form->children().indexOf(child); };
    ASSERT_GT(stacked(form->CalloutPanel1), stacked(form->WritingView));
    form->FormPaint(QRegion(form->rect()));
    EXPECT_GT(stacked(form->WritingView), stacked(form->CalloutPanel1));
    // Covering the window, it takes the clicks meant for the controls below.
    EXPECT_EQ(form->childAt(QPoint(300, 80)), form->WritingView);
    EXPECT_EQ(form->childAt(QPoint(20, 400)), form->WritingView);
}

} // namespace
