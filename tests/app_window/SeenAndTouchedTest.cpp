// What a user sees and touches on the window: rendered pixels of texts and lists, drags and
// clicks delivered as the platform delivers them.
#include "app/widgets/BusyIndicator.h"
#include "app/widgets/CalloutPanel.h"
#include "app/widgets/Decorations.h"
#include "app/dialogs/UiPrompts.h"
#include "app/widgets/Expander.h"
#include "app/widgets/FloatTrackBar.h"
#include "tests/support/window/FormFixture.h"
#include "app/window/QtJapanese.h"
#include "app/dialogs/TFormSendMessage.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTranslator>

#include <cstdlib>

using namespace corvanel::window;

namespace {

// The handle's rectangle as the bar's style draws it.
QRect HandleRect(QAbstractSlider* bar) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    if (bar->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                        bar);
}

class BarDrag : public FormTest, public ::testing::WithParamInterface<const char*> {};

// The handle stays under the pointer for the whole drag, as the band bars always did.
TEST_P(BarDrag, TheHandleFollowsThePointerOneToOne) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto* bar = Control<FloatTrackBar>(GetParam());
    ASSERT_NE(bar, nullptr);
    QAbstractSlider* slider = bar->Slider();
    const QRect before = HandleRect(slider);
    const QPoint grip = before.center();

    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, grip);
    for (int dx = 5; dx <= 30; dx += 5) {
        QMouseEvent move(QEvent::MouseMove, grip + QPoint(dx, 0),
                         slider->mapToGlobal(grip + QPoint(dx, 0)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
    }
    const QRect during = HandleRect(slider);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, grip + QPoint(30, 0));

    EXPECT_NEAR(during.center().x() - before.center().x(), 30, 1)
        << "handle from " << before.x() << " to " << during.x();
}

// Each case is named after the control's object name.
const auto kByObjectName = [](const auto& row) { return std::string(row.param); };

INSTANTIATE_TEST_SUITE_P(Bars, BarDrag, ::testing::Values("TrackTempo", "Freqbar1"), kByObjectName);

// Pixels at least this far in grey level from `background`: the strokes of text drawn on it.
int StrokesOn(const QImage& image, const QRect& area, int background) {
    int strokes = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            strokes += std::abs(qGray(image.pixel(x, y)) - background) > 100;
    return strokes;
}

TEST_F(FormTest, TextTypedIntoTheMessageBoxStandsOutFromItsField) {
    corvanel::dialogs::MessageBoxPrompts boxes;
    corvanel::dialogs::TFormSendMessage dialog(
        form.get(), boxes, corvanel::dialogs::MessageSenderSettings{"http://127.0.0.1:9/", {}});
    dialog.Memo1->setPlainText(QStringLiteral("WWWWWWWW よろしくお願いします"));
    // The whole dialog, as the user sees it: the field's own background may be see-through.
    const QImage image = dialog.grab().toImage();
    const QRect field = dialog.Memo1->geometry().adjusted(4, 4, -4, -4);
    const int background = qGray(image.pixel(field.right() - 4, field.bottom() - 4));
    EXPECT_GT(StrokesOn(image, field, background), 60)
        << "text colour " << dialog.Memo1->palette().text().color().name().toStdString()
        << " on grey " << background;
}

class DropDownList : public FormTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DropDownList, EveryItemIsWholeAndTheHighlightedOneReadable) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto* box = Control<QComboBox>(GetParam());
    ASSERT_NE(box, nullptr);
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));

    EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0))
        << "items cut: the list is narrower than they ask";

    const QModelIndex highlighted = list->model()->index(1, 0);
    list->setCurrentIndex(highlighted);
    const QImage image = list->viewport()->grab().toImage();
    const QRect row = list->visualRect(highlighted);
    const int background = qGray(image.pixel(row.right() - 2, row.center().y()));
    EXPECT_GT(StrokesOn(image, row.adjusted(0, 1, 0, -1), background), 40)
        << "highlight grey " << background;
    box->hidePopup();
}

INSTANTIATE_TEST_SUITE_P(Lists, DropDownList, ::testing::Values("QualitySelecter", "PopboxFFT"),
                         kByObjectName);

class DebugPanelOver : public FormTest, public ::testing::WithParamInterface<const char*> {};

// The debug list stands over the file rows; a click there still reaches the button under it.
TEST_P(DebugPanelOver, AClickGoesThroughToTheButtonUnderneath) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->CheckBox1->setChecked(true);
    ASSERT_TRUE(form->CalloutPanel1->isVisible());
    auto* button = Control<QPushButton>(GetParam());
    ASSERT_NE(button, nullptr);
    const QPoint at = button->mapTo(form.get(), button->rect().center());
    ASSERT_TRUE(form->CalloutPanel1->geometry().contains(at)) << "the panel does not cover it";

    QSignalSpy clicked(button, &QPushButton::clicked);
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(clicked.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Buttons, DebugPanelOver, ::testing::Values("Button1", "Button2"),
                         kByObjectName);

// During an export the busy ring turns beside the overlay's text, not over the reduction
// settings' header.
TEST_F(FormTest, TheBusyRingLeavesTheSettingsHeaderAlone) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->WritingView->show();
    form->WritingView->raise();
    const QRect header(form->Expander1->mapTo(form.get(), QPoint(0, 0)),
                       QSize(form->Expander1->width(), Expander::HeaderHeight));
    form->AniIndicator1->hide();
    const QImage without = form->grab(header).toImage();
    form->AniIndicator1->show();
    form->AniIndicator1->setEnabled(true);
    const QImage with = form->grab(header).toImage();
    ASSERT_EQ(with.size(), without.size());
    int changed = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            changed += with.pixel(x, y) != without.pixel(x, y);
    EXPECT_EQ(changed, 0);
    // And the ring is drawn at all.
    const QRect ring(form->AniIndicator1->mapTo(form.get(), QPoint(0, 0)), QSize(121, 32));
    const QImage ringArea = form->grab(ring).toImage();
    form->AniIndicator1->hide();
    EXPECT_NE(ringArea, form->grab(ring).toImage());
}

// Qt's own texts (standard buttons, file dialogs) are Japanese whatever the locale.
TEST(QtTexts, AreJapaneseOnceTheProgramsTranslatorIsIn) {
    ASSERT_TRUE(InstallQtJapanese(*QCoreApplication::instance()))
        << "Qt's Japanese translations are not installed";
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    const QString yes = box.button(QMessageBox::Yes)->text();
    const QString cancel = box.button(QMessageBox::Cancel)->text();
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    EXPECT_TRUE(yes.contains(QStringLiteral("はい"))) << yes.toStdString();
    EXPECT_TRUE(cancel.contains(QStringLiteral("キャンセル"))) << cancel.toStdString();
}

} // namespace
