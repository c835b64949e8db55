#include "EncoderCommandLine.h"

#include "MarkedText.h"

#include <cstdint>
#include <utility>

namespace corvanel {

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

std::string BuildEncoderCommandLine(const TExportState& state, int quality, int sampleRate,
                                    std::string_view title, std::string_view artist) {
    const std::string artistText = std::string(artist) + std::string(kReducedSuffix);
    // The artist placeholder is replaced last, so a title holding "<ARTIST>" shows the artist.
    // That is done inside the title's text, before quoting, so the quotes stay balanced.
    std::string titleText(title);
    const std::string_view artistPlaceholder = "<ARTIST>";
    for (std::size_t at = titleText.find(artistPlaceholder); at != std::string::npos;
         at = titleText.find(artistPlaceholder, at + artistText.size()))
        titleText.replace(at, artistPlaceholder.size(), artistText);
    const std::pair<std::string_view, std::string> values[] = {
        {"<OUTPUT>", QuoteArgument(state.Edit2)},
        {"<SFREQ>", std::to_string(sampleRate)},
        {"<TITLE>", QuoteArgument(titleText)},
        {"<ARTIST>", QuoteArgument(artistText)},
        {"<SERIAL>", std::to_string(OutputSerial(state.Edit2))},
    };
    const std::string tmpl = EncoderTemplate(state, quality);
    std::string command = "\"" + state.EncodeDir + state.EncodeProgram + "\" ";
    // One pass over the template: text that came from a value is never searched again, so a
    // tag holding a placeholder or a quote cannot add arguments.
    std::size_t pos = 0;
    while (pos < tmpl.size()) {
        bool replaced = false;
        if (tmpl[pos] == '<') {
            for (const auto& [placeholder, value] : values) {
                if (std::string_view(tmpl).substr(pos, placeholder.size()) == placeholder) {
                    command += value;
                    pos += placeholder.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            command += tmpl[pos++];
    }
    return command;
}

} // namespace corvanel
