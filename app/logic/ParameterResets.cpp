#include "app/logic/ParameterResets.h"

#include "controls/ControlRules.h"

namespace {
using G = ResetGroup;
using C = StepControl;
// The values restored come from the table of controls.
constexpr std::array<ResetRule, kResetRuleCount> kRules{{
    {G::AParam,
     "Panel1",
     "Panel1Click",
     "振幅パラメーターを初期値に戻しますか？",
     {{{C::TrackAParam, "TrackAParamChange"}, {}}},
     1},
    {G::PParam,
     "Panel2",
     "Panel2Click",
     "位相パラメーターを初期値に戻しますか？",
     {{{C::TrackPParam, "TrackPParamChange"}, {}}},
     1},
    {G::PanPot,
     "Panel3",
     "Panel3DblClick",
     "定位を初期値に戻しますか？",
     {{{C::TrackPanPot, "TrackPanPotChange"}, {}}},
     1},
    {G::KeyChange,
     "Panel4",
     "Panel4Click",
     "キーを初期値に戻しますか？",
     {{{C::SpinKeyChange, "SpinKeyChangeChange"}, {}}},
     1},
    {G::Tempo,
     "Panel6",
     "Panel6DblClick",
     "テンポを初期値に戻しますか？",
     {{{C::TrackTempo, "TrackTempoChange"}, {}}},
     1},
    {G::Band,
     "Panel7",
     "Panel7Click",
     "対象バンドを初期値に戻しますか？",
     {{{C::Freqbar1, "Freqbar1Change"}, {C::Freqbar2, "Freqbar2Change"}}},
     2},
}};
std::array<ResetRule, kResetRuleCount> RulesWithTheirValues() {
    std::array<ResetRule, kResetRuleCount> rules = kRules;
    for (ResetRule& rule : rules)
        for (std::size_t i = 0; i < rule.targetCount; ++i) {
            ResetTarget& target = rule.targets[i];
            target.value = static_cast<float>(
                corvanel::ResetValue(corvanel::ControlRowOf(ControlIdOf(target.control))));
        }
    return rules;
}
} // namespace

const std::array<ResetRule, kResetRuleCount>& ResetRules() {
    static const std::array<ResetRule, kResetRuleCount> rules = RulesWithTheirValues();
    return rules;
}

const ResetRule& ResetRuleOf(ResetGroup group) {
    return ResetRules()[static_cast<std::size_t>(group)];
}

std::optional<ResetGroup> ResetGroupFor(KeyHandler handler) {
    switch (handler) {
    case KeyHandler::Panel1Click:
        return G::AParam;
    case KeyHandler::Panel2Click:
        return G::PParam;
    case KeyHandler::Panel3DblClick:
        return G::PanPot;
    case KeyHandler::Panel4Click:
        return G::KeyChange;
    case KeyHandler::Panel6DblClick:
        return G::Tempo;
    default:
        return std::nullopt;
    }
}

bool RunReset(ResetGroup group, const ResetHooks& hooks) {
    const ResetRule& rule = ResetRuleOf(group);
    if (!hooks.confirm(rule.question))
        return false;
    for (std::size_t i = 0; i < rule.targetCount; ++i)
        hooks.setControl(rule.targets[i].control, rule.targets[i].value);
    for (std::size_t i = 0; i < rule.targetCount; ++i)
        hooks.runChangeHandler(rule.targets[i].changeHandler);
    return true;
}
