#pragma once
// The command line of corvanel-cli: what to convert, where to, and the values of the window's
// reduction controls that steer it.
//
// Every value is put into the control that carries it in the window, by that control's rule
// (range, step, single precision; the band and tempo bars hold logarithms), so that the
// parameters come out exactly as the window would set them. Units on the command line: dB
// (amplitude, pan), degrees (phase), sample pairs (fft), Hz (band), semitones (key), percent
// (tempo). Texts are UTF-8. Threads: any; nothing shared.
#include "controls/Settings.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::cli {

inline constexpr const char* kProgramName = "corvanel-cli";
// As an input: standard input; as -o: standard output.
inline constexpr std::string_view kStandardStream = "-";

struct TCliOptions {
    enum class TAction { Run, Help, Version };
    TAction Action = TAction::Run;

    std::vector<std::string> Inputs;
    std::optional<std::string> Output; // -o: one input only
    std::optional<std::string> OutDir; // -d
    std::optional<std::string> Format; // -f: extension without its dot, as given
    int Quality = 1;                   // 0 "lo", 1 "md", 2 "hi": the catalogue's template
    // The window's controls after every option; the reduction is on unless --off.
    TSettingsControls Controls = StartControls();
    int Jobs = 0; // 0: one per core
    bool Quiet = false;
    bool Force = false;
    // Values a control held at another value than given (out of range, between steps).
    std::vector<std::string> Notes;

    static TSettingsControls StartControls() {
        TSettingsControls c;
        c.Switch1 = true;
        return c;
    }
};

struct TParseResult {
    TCliOptions Options;
    std::string Error; // non-empty: a usage error, nothing is to be run
};

// Reads a settings file; nullopt when it is missing or unreadable.
using TSettingsLoader = std::function<std::optional<TSettings>(const std::filesystem::path&)>;

// args without the program name. Options are applied in order: --settings puts every
// parameter control where the window's loader would put it (starting from the window's own
// start-up controls), so options before it are replaced and options after it override.
TParseResult ParseCliArguments(const std::vector<std::string>& args,
                               const TSettingsLoader& loadSettings = LoadSettingsFile);

std::string UsageText();
std::string VersionText();

} // namespace corvanel::cli
