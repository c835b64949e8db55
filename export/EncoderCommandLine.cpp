#include "export/EncoderCommandLine.h"

#include "base/MarkedText.h"
#include "base/CommandLine.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace corvanel {

namespace {

struct TPlaceholderValues {
    std::string_view Output;
    int SampleRate = 0;
    std::string_view Title;
    std::string_view ArtistText;
    unsigned Serial = 0;
};

// One pass over the template: text that came from a value is never searched again, so a
// tag holding a placeholder or a quote cannot add arguments.
std::string FillTemplate(std::string_view tmpl, const TPlaceholderValues& v) {
    const std::pair<std::string_view, std::string> values[] = {
        {"<OUTPUT>", QuoteArgument(v.Output)},  {"<SFREQ>", std::to_string(v.SampleRate)},
        {"<TITLE>", QuoteArgument(v.Title)},    {"<ARTIST>", QuoteArgument(v.ArtistText)},
        {"<SERIAL>", std::to_string(v.Serial)},
    };
    std::string filled;
    std::size_t pos = 0;
    while (pos < tmpl.size()) {
        bool replaced = false;
        if (tmpl[pos] == '<') {
            for (const auto& [placeholder, value] : values) {
                if (tmpl.substr(pos, placeholder.size()) == placeholder) {
                    filled += value;
                    pos += placeholder.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            filled += tmpl[pos++];
    }
    return filled;
}

std::vector<std::string> SplitTemplateArguments(std::string_view filled) {
    std::vector<std::string> args = splitCommandLine("p " + std::string(filled));
    args.erase(args.begin());
    return args;
}

} // namespace

std::string_view LimitTagValue(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

std::string QuoteArgument(std::string_view text) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            quoted += c;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes, '\\');
            quoted += "\"\"";
        } else {
            quoted += c;
        }
        backslashes = 0;
    }
    quoted.append(backslashes, '\\');
    quoted += '"';
    return quoted;
}

unsigned OutputSerial(std::string_view outputPath) {
    const std::size_t slash = outputPath.find_last_of("/\\");
    const std::string_view name =
        slash == std::string_view::npos ? outputPath : outputPath.substr(slash + 1);
    std::uint32_t hash = 2166136261u;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash & 0x7FFFFFFFu;
}

std::string QuoteProgram(std::string_view path) {
    std::string quoted = "\"";
    for (char c : path) {
        quoted += c;
        if (c == '"')
            quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string EncoderTemplate(const TExportState& state, int quality) {
    if (quality < 0 || quality >= static_cast<int>(state.Encoders.size()))
        return {};
    if (state.EncodeProgram.empty())
        return {};
    for (const TCatalogueLine& line : state.Encoders[static_cast<std::size_t>(quality)])
        if (markedtext::EqualNoCase(line.Key, state.EncodeProgram))
            return line.Value;
    return {};
}

bool TemplateKeepsValuesWhole(std::string_view tmpl) {
    // Each quoted placeholder is filled with a marker character of its own; the markers must
    // not occur in the template itself.
    constexpr std::array<char, 3> markers = {'\x01', '\x02', '\x03'};
    for (char m : markers)
        if (tmpl.find(m) != std::string_view::npos)
            return false;
    const TPlaceholderValues marked{"\x01", 44100, "\x02", "\x03"};
    const std::string filled = FillTemplate(tmpl, marked);
    // A backslash before a value's opening quote escapes it; a quote after its closing quote
    // turns the two into a literal quote.
    for (char m : markers) {
        const std::string quoted = QuoteArgument(std::string_view(&m, 1));
        for (std::size_t at = filled.find(quoted); at != std::string::npos;
             at = filled.find(quoted, at + 1)) {
            if (at > 0 && filled[at - 1] == '\\')
                return false;
            const std::size_t after = at + quoted.size();
            if (after < filled.size() && filled[after] == '"')
                return false;
        }
    }
    // Inside a quoted part the value's quotes close and reopen it: its own text would split.
    // Values that hold every character the splitter treats specially must come back as they
    // are, each in the argument its marker was in.
    const std::vector<std::string> reference = SplitTemplateArguments(filled);
    constexpr std::string_view probes[] = {"", " ", "a b", "\"", "\\", "\\\"", "\t\"\\ \"\"x\\"};
    for (std::string_view probe : probes) {
        const std::vector<std::string> args =
            SplitTemplateArguments(FillTemplate(tmpl, {probe, 44100, probe, probe}));
        if (args.size() != reference.size())
            return false;
        for (std::size_t i = 0; i < args.size(); ++i) {
            std::string expected;
            for (char c : reference[i]) {
                if (c == markers[0] || c == markers[1] || c == markers[2])
                    expected += probe;
                else
                    expected += c;
            }
            if (args[i] != expected)
                return false;
        }
    }
    return true;
}

std::string BuildEncoderCommandLine(const TExportState& state, int quality, int sampleRate,
                                    std::string_view title, std::string_view artist) {
    const std::string artistText = std::string(LimitTagValue(artist)) + std::string(kReducedSuffix);
    // The artist placeholder is replaced last, so a title holding "<ARTIST>" shows the artist.
    // That is done inside the title's text, before quoting, so the quotes stay balanced; the
    // result is cut again so that a title of many placeholders stays short.
    std::string titleText(LimitTagValue(title));
    const std::string_view artistPlaceholder = "<ARTIST>";
    for (std::size_t at = titleText.find(artistPlaceholder); at != std::string::npos;
         at = titleText.find(artistPlaceholder, at + artistText.size()))
        titleText.replace(at, artistPlaceholder.size(), artistText);
    titleText.resize(LimitTagValue(titleText).size());
    return QuoteProgram(state.EncodeDir + state.EncodeProgram) + " " +
           FillTemplate(EncoderTemplate(state, quality), {state.Edit2, sampleRate, titleText,
                                                          artistText, OutputSerial(state.Edit2)});
}

} // namespace corvanel
