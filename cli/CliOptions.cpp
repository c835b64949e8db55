#include "cli/CliOptions.h"
#include "base/Version.h"

#include "controls/ControlRules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace corvanel::cli {

namespace {

std::optional<double> ParseNumber(std::string_view text) {
    // from_chars takes no leading plus, but "--key +2" is what people type.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseInteger(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::string Shown(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

struct TOptionSpec {
    const char* Long;
    char Short; // 0: none
    int Values; // how many values follow
};

constexpr TOptionSpec kOptions[] = {
    {"output", 'o', 1}, {"out-dir", 'd', 1}, {"format", 'f', 1},    {"quality", 'q', 1},
    {"off", 0, 0},      {"inverse", 0, 0},   {"amplitude", 'a', 1}, {"phase", 'p', 1},
    {"pan", 0, 1},      {"fft", 0, 1},       {"band", 0, 2},        {"key", 0, 1},
    {"tempo", 0, 1},    {"settings", 0, 1},  {"jobs", 'j', 1},      {"quiet", 0, 0},
    {"force", 0, 0},    {"version", 0, 0},   {"help", 'h', 0},
};

// The option the name spells out, or the one option it begins (an abbreviation); an
// abbreviation of several is refused with their names.
const TOptionSpec* FindLong(std::string_view name, std::string& error) {
    const TOptionSpec* found = nullptr;
    std::string candidates;
    int matches = 0;
    for (const auto& spec : kOptions) {
        const std::string_view full = spec.Long;
        if (name == full)
            return &spec;
        if (!name.empty() && full.substr(0, name.size()) == name) {
            found = &spec;
            ++matches;
            candidates += std::string(candidates.empty() ? "" : ", ") + "--" + spec.Long;
        }
    }
    if (matches == 1)
        return found;
    error = matches == 0 ? "unknown option --" + std::string(name)
                         : "option --" + std::string(name) + " is ambiguous (" + candidates + ")";
    return nullptr;
}

const TOptionSpec* FindShort(char letter) {
    for (const auto& spec : kOptions)
        if (spec.Short != 0 && spec.Short == letter)
            return &spec;
    return nullptr;
}

class TParser {
  public:
    TParser(TCliOptions& options, const TSettingsLoader& loader)
        : FOptions(options), FLoader(loader) {}

    // Empty when the option was taken.
    std::string Apply(const TOptionSpec& spec, const std::string& shownName,
                      const std::vector<std::string>& values) {
        const std::string name = spec.Long;
        TSettingsControls& c = FOptions.Controls;
        if (name == "output") {
            if (values[0].empty())
                return shownName + ": an empty file name";
            FOptions.Output = values[0];
        } else if (name == "out-dir") {
            if (values[0].empty())
                return shownName + ": an empty folder name";
            FOptions.OutDir = values[0];
        } else if (name == "format") {
            std::string ext = values[0];
            if (!ext.empty() && ext.front() == '.')
                ext.erase(0, 1);
            if (ext.empty() || ext.find_first_of("/\\.") != std::string::npos)
                return shownName + ": \"" + values[0] + "\" is not an extension";
            FOptions.Format = ext;
        } else if (name == "quality") {
            static constexpr const char* levels[] = {"lo", "md", "hi"};
            int found = -1;
            for (int i = 0; i < 3; ++i)
                if (values[0] == levels[i])
                    found = i;
            if (found < 0)
                return shownName + ": expected lo, md or hi, not \"" + values[0] + "\"";
            FOptions.Quality = found;
        } else if (name == "off") {
            c.Switch1 = false;
        } else if (name == "inverse") {
            c.Switch2 = true;
        } else if (name == "amplitude") {
            return PutNumber(shownName, values[0], ControlId::TrackAParam, c.TrackAParam);
        } else if (name == "phase") {
            return PutNumber(shownName, values[0], ControlId::TrackPParam, c.TrackPParam);
        } else if (name == "pan") {
            return PutNumber(shownName, values[0], ControlId::TrackPanPot, c.TrackPanPot);
        } else if (name == "key") {
            return PutNumber(shownName, values[0], ControlId::SpinKeyChange, c.SpinKeyChange);
        } else if (name == "fft") {
            const auto n = ParseInteger(values[0]);
            if (!n || (*n != 8192 && *n != 16384 && *n != 32768))
                return shownName + ": expected 8192, 16384 or 32768, not \"" + values[0] + "\"";
            c.PopboxFFT = static_cast<int>(
                ControlFromSetting(ControlRowOf(ControlId::PopboxFFT), *n, c.PopboxFFT));
        } else if (name == "band") {
            for (int i = 0; i < 2; ++i) {
                const auto hz = ParseNumber(values[i]);
                if (!hz || *hz <= 0.0)
                    return shownName + ": \"" + values[i] + "\" is not a frequency in Hz";
            }
            PutSetting(shownName, *ParseNumber(values[0]), ControlId::Freqbar1, c.Freqbar1);
            PutSetting(shownName, *ParseNumber(values[1]), ControlId::Freqbar2, c.Freqbar2);
        } else if (name == "tempo") {
            const auto percent = ParseNumber(values[0]);
            if (!percent || *percent <= -100.0)
                return shownName + ": \"" + values[0] + "\" is not a tempo change in percent";
            PutSetting(shownName, *percent, ControlId::TrackTempo, c.TrackTempo);
        } else if (name == "settings") {
            const auto settings = FLoader(values[0]);
            if (!settings)
                return shownName + ": cannot read the settings file \"" + values[0] + "\"";
            // The window loads into its start-up controls, whatever came before.
            c = ControlsFromSettings(*settings, TSettingsControls{});
        } else if (name == "jobs") {
            const auto n = ParseInteger(values[0]);
            if (!n || *n < 1)
                return shownName + ": expected a number of jobs of 1 or more, not \"" + values[0] +
                       "\"";
            FOptions.Jobs = *n;
        } else if (name == "quiet") {
            FOptions.Quiet = true;
        } else if (name == "force") {
            FOptions.Force = true;
        } else if (name == "version") {
            FOptions.Action = TCliOptions::TAction::Version;
        } else if (name == "help") {
            FOptions.Action = TCliOptions::TAction::Help;
        }
        return {};
    }

  private:
    std::string PutNumber(const std::string& shownName, const std::string& text, ControlId id,
                          double& control) {
        const ControlRange& range = ControlRowOf(id).Range;
        const auto value = ParseNumber(text);
        if (!value)
            return shownName + ": \"" + text + "\" is not a number";
        control = ConstrainToControl(range, *value, control);
        // The float rounding of a bar is the rule itself, not worth a note.
        const double asTyped =
            range.SinglePrecision ? static_cast<double>(static_cast<float>(*value)) : *value;
        if (control != asTyped)
            FOptions.Notes.push_back(shownName + " " + text + ": the control holds " +
                                     Shown(control));
        return {};
    }

    // A value in the settings file's units, put into its control by the control's rule (the
    // band and tempo bars hold logarithms).
    void PutSetting(const std::string& shownName, double given, ControlId id, double& control) {
        const ControlRow& row = ControlRowOf(id);
        const double barValue = ControlValueOfSetting(row, given);
        control = ConstrainToControl(row.Range, barValue, control);
        // Only a clamp is worth a note: the float rounding of the bar is the rule itself.
        if (barValue < row.Range.Min || barValue > row.Range.Max)
            FOptions.Notes.push_back(shownName + " " + Shown(given) + ": the control holds " +
                                     Shown(SettingOfControlValue(row, control)));
    }

    TCliOptions& FOptions;
    const TSettingsLoader& FLoader;
};

} // namespace

TParseResult ParseCliArguments(const std::vector<std::string>& args,
                               const TSettingsLoader& loadSettings) {
    TParseResult result;
    TParser parser(result.Options, loadSettings);
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            result.Options.Inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const TOptionSpec* spec = nullptr;
        std::string shownName;
        std::vector<std::string> values;
        if (arg[1] == '-') {
            std::string name = arg.substr(2);
            std::optional<std::string> inlineValue;
            if (const auto eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.erase(eq);
            }
            spec = FindLong(name, result.Error);
            if (!spec)
                return result;
            shownName = std::string("--") + spec->Long;
            if (inlineValue) {
                if (spec->Values != 1) {
                    result.Error = shownName + " takes " +
                                   (spec->Values == 0 ? "no value" : "two values, not \"=\"");
                    return result;
                }
                values.push_back(*inlineValue);
            }
        } else {
            spec = FindShort(arg[1]);
            shownName = arg.substr(0, 2);
            if (!spec) {
                result.Error = "unknown option " + shownName;
                return result;
            }
            if (arg.size() > 2) {
                if (spec->Values != 1) {
                    result.Error = "unknown option " + arg;
                    return result;
                }
                values.push_back(arg.substr(2));
            }
        }
        while (static_cast<int>(values.size()) < spec->Values) {
            if (++i >= args.size()) {
                result.Error = shownName + " needs " +
                               (spec->Values == 1 ? std::string("a value") : "two values");
                return result;
            }
            values.push_back(args[i]);
        }
        if (std::string error = parser.Apply(*spec, shownName, values); !error.empty()) {
            result.Error = std::move(error);
            return result;
        }
    }

    TCliOptions& o = result.Options;
    if (o.Action != TCliOptions::TAction::Run)
        return result;
    const bool readsStdin =
        std::find(o.Inputs.begin(), o.Inputs.end(), kStandardStream) != o.Inputs.end();
    if (o.Inputs.empty())
        result.Error = "no input file";
    else if (readsStdin && !o.Output)
        result.Error = "standard input (-) needs -o FILE, or -o - for standard output";
    else if (o.Output && o.Inputs.size() > 1)
        result.Error = "-o names the output of one input only; use -d for several";
    else if (o.Output && o.OutDir)
        result.Error = "-o and -d do not go together";
    return result;
}

std::string UsageText() {
    return R"(Usage: corvanel-cli [OPTIONS] INPUT...
Writes each stereo input with its vocals reduced, the way the window's export does.
An INPUT of - reads standard input (with -o): WAV, MP3, Ogg, FLAC or ADTS AAC, the
formats recognised without seeking; not MP4/M4A.

  -o, --output FILE        output file (one input only); - writes standard output:
                           WAV of unknown length, or the encoder's own stream with -f
  -d, --out-dir DIR        folder for outputs (default: beside each input)
  -f, --format EXT         wav (default), or any extension the encoder catalogue
                           lists (mp3, flac, ogg, opus, m4a as shipped)
  -q, --quality lo|md|hi   the catalogue's template: high compression, normal (md,
                           default), low compression
      --off                reduction switched off (key and tempo only)
      --inverse            output what the reduction removes
  -a, --amplitude DB       0..70, default 70
  -p, --phase DEG          1..60 in steps of 0.1, default 15
      --pan VALUE          -20..20, default 0
      --fft N              8192 | 16384 | 32768, default 16384
      --band LO HI         band edges in Hz, 10..24000, default 200 16500
      --key SEMITONES      -7..7, default 0
      --tempo PERCENT      about -50..100, default 0 (changes within 5 % count as 0)
      --settings FILE      every parameter from the window's settings file; options
                           given after it override
  -j, --jobs N             files processed at once (default: the number of cores)
      --quiet              no progress output (failures are still reported)
      --force              overwrite existing outputs
      --version, --help
Long options may be shortened to any unique start (--inv, --outp).

The default output name is the input's name with its extension replaced by "_vr"
and the output extension. Values are held by the window's control rules (ranges,
steps, single precision). Progress and messages go to standard error; an encoder's
own messages are shown only when its file fails.

Exit status: 0 every file written; 1 any file failed, was aborted or not started;
2 usage error (nothing written); 130 after Ctrl+C (SIGINT), 143 after SIGTERM,
once the running outputs are closed.
)";
}

std::string VersionText() {
    return std::string("corvanel-cli ") + kProgramVersion + "\n";
}

} // namespace corvanel::cli
