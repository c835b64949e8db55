// The table of controls against the built window: each row is the window's control of its
// name, with the row's range, steps and start value, and its settings key reaches that control
// and is where the window saves it.
#include "tests/app_window/LifecycleFixture.h"

#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/ToggleSwitch.h"
#include "controls/ControlRules.h"
#include "controls/IniFile.h"

#include <QComboBox>
#include <QDoubleSpinBox>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

using namespace corvanel;
using corvanel::window::FloatTrackBar;
using corvanel::window::ToggleSwitch;

namespace {

QWidget* ControlOf(const TForm1& form, const ControlRow& row) {
    return form.findChild<QWidget*>(
        QString::fromLatin1(row.Name.data(), static_cast<qsizetype>(row.Name.size())));
}

// The value the control holds, in the table's units; NaN for a widget of no known kind.
double HeldValue(const QWidget* control) {
    if (const auto* bar = dynamic_cast<const FloatTrackBar*>(control))
        return bar->Value();
    if (const auto* spin = dynamic_cast<const QDoubleSpinBox*>(control))
        return spin->value();
    if (const auto* list = dynamic_cast<const QComboBox*>(control))
        return list->currentIndex();
    if (const auto* toggle = dynamic_cast<const ToggleSwitch*>(control))
        return toggle->IsChecked() ? 1.0 : 0.0;
    return std::numeric_limits<double>::quiet_NaN();
}

TEST_F(FormTest, EveryRowOfTheTableIsTheWindowsControlWithItsRangeStepsAndStart) {
    for (const ControlRow& row : ControlRows()) {
        SCOPED_TRACE(std::string(row.Name));
        QWidget* control = ControlOf(*form, row);
        ASSERT_NE(control, nullptr);
        const ControlRange& range = row.Range;
        if (const auto* bar = dynamic_cast<const FloatTrackBar*>(control)) {
            EXPECT_TRUE(range.SinglePrecision);
            EXPECT_EQ(bar->Min(), static_cast<float>(range.Min));
            EXPECT_EQ(bar->Max(), static_cast<float>(range.Max));
            EXPECT_EQ(bar->Frequency(), static_cast<float>(range.Step));
            EXPECT_EQ(bar->SmallChange(), static_cast<float>(row.KeyStep));
        } else if (const auto* spin = dynamic_cast<const QDoubleSpinBox*>(control)) {
            EXPECT_FALSE(range.SinglePrecision);
            EXPECT_EQ(spin->minimum(), range.Min);
            EXPECT_EQ(spin->maximum(), range.Max);
            EXPECT_EQ(std::pow(10.0, -spin->decimals()), range.Step);
            EXPECT_EQ(spin->singleStep(), row.KeyStep);
        } else if (const auto* list = dynamic_cast<const QComboBox*>(control)) {
            EXPECT_EQ(range.Min, 0.0);
            EXPECT_EQ(range.Max, list->count() - 1);
            EXPECT_EQ(range.Step, 1.0);
        } else if (dynamic_cast<const ToggleSwitch*>(control)) {
            EXPECT_EQ(range.Min, 0.0);
            EXPECT_EQ(range.Max, 1.0);
            EXPECT_EQ(range.Step, 1.0);
        } else {
            ADD_FAILURE() << "no control of the table's kinds";
        }
        // Built and started without a settings file.
        EXPECT_EQ(HeldValue(control), row.Start);
    }
}

// One row's key in an otherwise empty settings file.
class ControlSettingsKey : public LifecycleTest, public ::testing::WithParamInterface<int> {
  protected:
    const ControlRow& Row() const { return ControlRows()[static_cast<std::size_t>(GetParam())]; }
};

TEST_P(ControlSettingsKey, ReachesOnlyItsControlAndIsSavedUnderIt) {
    const ControlRow& row = Row();
    // The end of the range farther from the start, so the loaded value shows.
    const double start = row.Start;
    const double far = std::fabs(row.Range.Max - start) >= std::fabs(row.Range.Min - start)
                           ? row.Range.Max
                           : row.Range.Min;
    const double setting = SettingOfControlValue(row, far);
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", setting);
    WriteSettings("[" + std::string(row.Section) + "]\n" + std::string(row.Key) + "=" + text +
                  "\n");
    Open();

    const double loaded = ControlFromSetting(row, setting, start);
    EXPECT_EQ(loaded, far);
    for (const ControlRow& other : ControlRows()) {
        // Every other key is missing, so its control takes the file's default.
        const double expected =
            other.Id == row.Id ? loaded : ControlFromSetting(other, other.FileDefault, other.Start);
        EXPECT_EQ(HeldValue(ControlOf(*form, other)), expected) << other.Name;
    }

    Close();
    TIniFile saved('.');
    saved.LoadFromBytes(SettingsText());
    const double written =
        saved.ReadFloat(row.Section, row.Key, std::numeric_limits<double>::quiet_NaN());
    ASSERT_FALSE(std::isnan(written)) << SettingsText();
    // Saved from the parameter, so it comes back to the control within the float's rounding.
    EXPECT_NEAR(ControlFromSetting(row, written, start), loaded, 1e-6 * (1.0 + std::fabs(loaded)));
}

INSTANTIATE_TEST_SUITE_P(Rows, ControlSettingsKey,
                         ::testing::Range(0, static_cast<int>(kControlCount)),
                         [](const ::testing::TestParamInfo<int>& rowIndex) {
                             return std::string(
                                 ControlRows()[static_cast<std::size_t>(rowIndex.param)].Name);
                         });

} // namespace
