#include "app/logic/KeyCommands.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
const Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

struct Binding {
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* action;
    const char* handler;
};

// The key combination of each action as the user presses it.
const Binding kBindings[] = {
    {Qt::Key_O, kCtrl, "AcbFileOpen", "Button1Click"},
    {Qt::Key_S, kCtrl, "AcbFileSave", "Button2Click"},
    {Qt::Key_W, kCtrl, "AcbFileWrite", "Button5Click"},
    {Qt::Key_P, kCtrl, "AcbPlay", "ProcessingButtonClick"},
    {Qt::Key_E, kCtrl, "AcbStop", "Button4Click"},
    {Qt::Key_F1, kCtrl, "AcbEnable", "AcbEnableExecute"},
    {Qt::Key_F2, kCtrl, "AcbInverse", "AcbInverseExecute"},
    {Qt::Key_1, kCtrl, "AcbAParamLeft", "AcbAParamLeftExecute"},
    {Qt::Key_2, kCtrl, "AcbAParamRight", "AcbAParamRightExecute"},
    {Qt::Key_3, kCtrl, "AcbPParamLeft", "AcbPParamLeftExecute"},
    {Qt::Key_4, kCtrl, "AcbPParamRight", "AcbPParamRightExecute"},
    {Qt::Key_5, kCtrl, "AcbPanpotLeft", "AcbPanpotLeftExecute"},
    {Qt::Key_6, kCtrl, "AcbPanpotRight", "AcbPanpotRightExecute"},
    {Qt::Key_7, kCtrl, "AcbKeyChangeDown", "AcbKeyChangeDownExecute"},
    {Qt::Key_8, kCtrl, "AcbKeyChangeUp", "AcbKeyChangeUpExecute"},
    {Qt::Key_9, kCtrl, "AcbTempoLeft", "AcbTempoLeftExecute"},
    {Qt::Key_0, kCtrl, "AcbTempoRight", "AcbTempoRightExecute"},
    {Qt::Key_F3, kCtrl, "AcbFreqLowLeft", "AcbFreqLowLeftExecute"},
    {Qt::Key_F4, kCtrl, "AcbFreqLowRight", "AcbFreqLowRightExecute"},
    {Qt::Key_F5, kCtrl, "AcbFreqHighLeft", "AcbFreqHighLeftExecute"},
    {Qt::Key_F6, kCtrl, "AcbFreqHighRight", "AcbFreqHighRightExecute"},
    {Qt::Key_F7, kCtrl, "AcbFFTSize", "AcbFFTSizeExecute"},
    {Qt::Key_F7, kCtrlShift, "Action11", "AcbFFTSizeExecute"},
    {Qt::Key_1, kCtrlShift, "AcbResetAParam1", "Panel1Click"},
    {Qt::Key_2, kCtrlShift, "AcbResetAParam2", "Panel1Click"},
    {Qt::Key_3, kCtrlShift, "AcbResetPParam1", "Panel2Click"},
    {Qt::Key_4, kCtrlShift, "AcbResetPParam2", "Panel2Click"},
    {Qt::Key_5, kCtrlShift, "AcbResetPanpot1", "Panel3DblClick"},
    {Qt::Key_6, kCtrlShift, "AcbResetPanpot2", "Panel3DblClick"},
    {Qt::Key_7, kCtrlShift, "AcbResetKeyChange2", "Panel4Click"},
    {Qt::Key_8, kCtrlShift, "AcbResetKeyChange1", "Panel4Click"},
    {Qt::Key_9, kCtrlShift, "AcbResetTempo1", "Panel6DblClick"},
    {Qt::Key_0, kCtrlShift, "AcbResetTempo2", "Panel6DblClick"},
};

TEST(KeyActionTable, EveryCombinationFindsItsActionAndStoredValue) {
    std::set<std::string> seen;
    for (const auto& b : kBindings) {
        SCOPED_TRACE(b.action);
        const KeyPress press{b.key, b.modifiers};
        const auto stored = StoredKeyValue(press);
        ASSERT_TRUE(stored.has_value());
        const KeyAction* action = FindKeyAction(press);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->action, b.action);
        EXPECT_EQ(action->storedKey, *stored);
        EXPECT_EQ(HandlerName(action->handler), b.handler);
        seen.insert(std::string(action->action));
    }
    // Every row of the table is reachable by its own combination.
    for (const auto& a : KeyActions())
        EXPECT_TRUE(seen.count(std::string(a.action))) << a.action;
}

TEST(KeyActionTable, StoredValuesAreDistinct) {
    std::set<uint16_t> values;
    for (const auto& a : KeyActions())
        EXPECT_TRUE(values.insert(a.storedKey).second) << a.action;
}

struct StoredCase {
    const char* name;
    KeyPress press;
    int stored; // -1: no value
};

class StoredKey : public testing::TestWithParam<StoredCase> {};

TEST_P(StoredKey, EncodesCodeAndModifiers) {
    const auto v = StoredKeyValue(GetParam().press);
    if (GetParam().stored < 0)
        EXPECT_FALSE(v.has_value());
    else
        EXPECT_EQ(v, std::optional<uint16_t>(static_cast<uint16_t>(GetParam().stored)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredKey,
    testing::Values(
        // Values as the window stores them: low byte the virtual-key code, 0x4000 Ctrl,
        // 0x2000 Shift, 0x8000 Alt.
        StoredCase{"CtrlO", {Qt::Key_O, kCtrl}, 16463},
        StoredCase{"CtrlF1", {Qt::Key_F1, kCtrl}, 16496},
        StoredCase{"CtrlShiftF7", {Qt::Key_F7, kCtrlShift}, 24694},
        StoredCase{"CtrlShift0", {Qt::Key_0, kCtrlShift}, 24624},
        StoredCase{"AltF7", {Qt::Key_F7, Qt::AltModifier}, 0x8076},
        StoredCase{"A", {Qt::Key_A, {}}, 0x41}, StoredCase{"F24", {Qt::Key_F24, {}}, 0x87},
        // Keypad digits are not the main row's digits.
        StoredCase{"CtrlKeypad1", {Qt::Key_1, kCtrl | Qt::KeypadModifier}, -1},
        StoredCase{"CtrlShiftKeypad0", {Qt::Key_0, kCtrlShift | Qt::KeypadModifier, 19}, -1},
        StoredCase{"CtrlMeta1", {Qt::Key_1, kCtrl | Qt::MetaModifier}, -1},
        StoredCase{"CtrlEscape", {Qt::Key_Escape, kCtrl}, -1},
        StoredCase{"CtrlShiftExclam", {Qt::Key_Exclam, kCtrlShift}, -1}),
    corvanel::test::ByNameField);

#if !defined(Q_OS_MACOS)
// With Shift held the layout reports the shifted symbol; the digit key's scan code decides.
TEST(StoredKeyScanCode, ShiftedDigitSymbolsMatchTheirDigitKey) {
#if defined(Q_OS_WIN)
    const quint32 scanOf1 = 0x02, scanOf0 = 0x0B;
#else
    const quint32 scanOf1 = 10, scanOf0 = 19;
#endif
    const KeyAction* reset = FindKeyAction(KeyPress{Qt::Key_Exclam, kCtrlShift, scanOf1});
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->action, "AcbResetAParam1");
    // A Japanese layout has nothing on Shift+0 beyond the key itself.
    reset = FindKeyAction(KeyPress{Qt::Key_unknown, kCtrlShift, scanOf0});
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->action, "AcbResetTempo2");
    EXPECT_EQ(MainRowDigitForScanCode(scanOf1 + 4), '5');
    EXPECT_EQ(MainRowDigitForScanCode(scanOf0 + 1), 0);
    EXPECT_EQ(MainRowDigitForScanCode(scanOf1 - 1), 0);
}
#endif

TEST(KeyActionLookup, UnboundCombinationsFindNothing) {
    EXPECT_EQ(FindKeyAction(KeyPress{Qt::Key_O, {}}), nullptr);
    EXPECT_EQ(FindKeyAction(KeyPress{Qt::Key_1, Qt::ShiftModifier}), nullptr);
    EXPECT_EQ(FindKeyAction(KeyPress{Qt::Key_F8, kCtrl}), nullptr);
    EXPECT_EQ(FindKeyAction(KeyPress{Qt::Key_O, kCtrl | Qt::AltModifier}), nullptr);
}

} // namespace
