// What a user sees and touches on the window: rendered pixels of texts and lists, drags and
// clicks delivered as the platform delivers them.
#include "FloatTrackBar.h"
#include "FormFixture.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

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
        QMouseEvent move(QEvent::MouseMove, grip + QPoint(dx, 0), slider->mapToGlobal(grip + QPoint(dx, 0)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
    }
    const QRect during = HandleRect(slider);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, grip + QPoint(30, 0));

    EXPECT_NEAR(during.center().x() - before.center().x(), 30, 1)
        << "handle from " << before.x() << " to " << during.x();
}

INSTANTIATE_TEST_SUITE_P(Bars, BarDrag, ::testing::Values("TrackTempo", "Freqbar1"));

} // namespace
