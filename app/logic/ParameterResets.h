#pragma once
// The parameter resets behind the caption panels (and Ctrl+Shift+digit): the question asked,
// the defaults restored and the change handlers run afterwards. Control values in the
// controls' units (dB, degrees, semitones, log10 of a speed factor or of a frequency in Hz).
// UI thread.

#include "app/logic/ControlSteps.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

enum class ResetGroup { AParam, PParam, PanPot, KeyChange, Tempo, Band };

struct ResetTarget {
    StepControl control;
    std::string_view changeHandler;
    float value = 0.0f; // the table's reset value of the control
};

struct ResetRule {
    ResetGroup group;
    std::string_view panel;    // the caption panel clicked
    std::string_view handler;  // the panel's click handler, also run by the key combinations
    std::string_view question; // UTF-8
    std::array<ResetTarget, 2> targets;
    std::size_t targetCount; // 2 for the band (lower edge first), else 1
};

inline constexpr std::size_t kResetRuleCount = 6;
const std::array<ResetRule, kResetRuleCount>& ResetRules();
const ResetRule& ResetRuleOf(ResetGroup group);
// The group a key action's handler resets; nothing for handlers that reset nothing.
std::optional<ResetGroup> ResetGroupFor(KeyHandler handler);

// What a reset needs from the window: the confirmation (true unless the user answered No), the
// control setter and the change-handler runner.
struct ResetHooks {
    std::function<bool(std::string_view question)> confirm;
    std::function<void(StepControl control, float value)> setControl;
    std::function<void(std::string_view changeHandler)> runChangeHandler;
};

// Asks; unless answered No sets every target, then runs their change handlers in order.
// Returns whether the reset went ahead.
bool RunReset(ResetGroup group, const ResetHooks& hooks);
