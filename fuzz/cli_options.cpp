// The command line of the batch tool: any arguments give a usage error or options within
// their ranges, with every control a number. A settings file named on it is read from the
// name's own text, so that the loader's values are fuzzed too.
// Input: the arguments, separated by zero bytes.
#include "cli/CliOptions.h"
#include "fuzz/FuzzInput.h"

#include <cmath>
#include <string>

using namespace corvanel;
using namespace corvanel::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto fields = corvanel::fuzz::SplitFields(data, size, 32);
    std::vector<std::string> args;
    for (std::string_view f : fields)
        if (!f.empty())
            args.emplace_back(f);
    const auto loader = [](const std::filesystem::path& path) -> std::optional<TSettings> {
        const std::string text = path.string();
        if (text.find("missing") != std::string::npos)
            return std::nullopt;
        TIniFile file('.');
        file.LoadFromBytes(text);
        return ReadSettings(file);
    };
    const TParseResult result = ParseCliArguments(args, loader);
    if (!result.Error.empty() || result.Options.Action != TCliOptions::TAction::Run)
        return 0;
    const TCliOptions& o = result.Options;
    CORVANEL_FUZZ_CHECK(o.Quality >= 0 && o.Quality <= 2);
    CORVANEL_FUZZ_CHECK(o.Jobs >= 0);
    const TSettingsControls& c = o.Controls;
    for (double v : {c.VolumeBar, c.TrackAParam, c.TrackPParam, c.TrackPanPot, c.SpinKeyChange,
                     c.TrackTempo, c.Freqbar1, c.Freqbar2})
        CORVANEL_FUZZ_CHECK(std::isfinite(v));
    return 0;
}
