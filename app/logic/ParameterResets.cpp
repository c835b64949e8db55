#include "app/logic/ParameterResets.h"

namespace {
using G = ResetGroup;
using C = StepControl;
// log10(200) and log10(16500) as the scroll bars hold them.
constexpr float kBandLowDefault = 2.3010299956639813f;
constexpr float kBandHighDefault = 4.217483944213907f;

constexpr std::array<ResetRule, kResetRuleCount> kRules{{
    {G::AParam,
     "Panel1",
     "Panel1Click",
     "振幅パラメーターを初期値に戻しますか？",
     {{{C::TrackAParam, 60.0f, "TrackAParamChange"}, {}}},
     1},
    {G::PParam,
     "Panel2",
     "Panel2Click",
     "位相パラメーターを初期値に戻しますか？",
     {{{C::TrackPParam, 30.0f, "TrackPParamChange"}, {}}},
     1},
    {G::PanPot,
     "Panel3",
     "Panel3DblClick",
     "定位を初期値に戻しますか？",
     {{{C::TrackPanPot, 0.0f, "TrackPanPotChange"}, {}}},
     1},
    {G::KeyChange,
     "Panel4",
     "Panel4Click",
     "キーを初期値に戻しますか？",
     {{{C::SpinKeyChange, 0.0f, "SpinKeyChangeChange"}, {}}},
     1},
    {G::Tempo,
     "Panel6",
     "Panel6DblClick",
     "テンポを初期値に戻しますか？",
     {{{C::TrackTempo, 0.0f, "TrackTempoChange"}, {}}},
     1},
    {G::Band,
     "Panel7",
     "Panel7Click",
     "対象バンドを初期値に戻しますか？",
     {{{C::Freqbar1, kBandLowDefault, "Freqbar1Change"},
       {C::Freqbar2, kBandHighDefault, "Freqbar2Change"}}},
     2},
}};
} // namespace

const std::array<ResetRule, kResetRuleCount>& ResetRules() {
    return kRules;
}

const ResetRule& ResetRuleOf(ResetGroup group) {
    return kRules[static_cast<std::size_t>(group)];
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
