// The encoder command line as the audio layer splits it: the program is always the
// encoder's own path, whatever its folder holds; with a template the catalogue keeps, every
// tag value stays exactly one argument's text; and the line stays short however long the tags.
// Input: folder, program, template, title, artist, output path, separated by zero bytes.
#include "export/EncoderCommandLine.h"
#include "fuzz/FuzzInput.h"
#include "base/CommandLine.h"

#include <algorithm>
#include <string>

using namespace corvanel;
using corvanel::splitCommandLine;

namespace {

TExportState StateFor(std::string_view folder, std::string_view program, std::string_view tmpl,
                      std::string_view output) {
    TExportState state;
    state.EncodeDir = folder;
    state.EncodeProgram = program.empty() ? std::string("enc") : std::string(program);
    state.Encoders[1] = {{state.EncodeProgram, std::string(tmpl)}};
    state.Edit2 = output;
    return state;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto f = corvanel::fuzz::SplitFields(data, size, 6);
    const std::string_view tmpl = f[2], title = f[3], artist = f[4], output = f[5];
    const TExportState state = StateFor(f[0], f[1], tmpl, output);
    const std::string command = BuildEncoderCommandLine(state, 1, 44100, title, artist);
    const std::vector<std::string> args = splitCommandLine(command);
    CORVANEL_FUZZ_CHECK(!args.empty() && args[0] == state.EncodeDir + state.EncodeProgram);

    // Each placeholder gives at most a quoted value of its limit, every character doubled.
    const std::size_t value = std::max(output.size(), kMaxTagValueBytes + kReducedSuffix.size());
    const std::size_t placeholders =
        static_cast<std::size_t>(std::count(tmpl.begin(), tmpl.end(), '<'));
    CORVANEL_FUZZ_CHECK(command.size() <= 2 * (state.EncodeDir + state.EncodeProgram).size() + 3 +
                                              tmpl.size() + placeholders * (2 * value + 2));

    // Against the same template filled with marker characters: each value must take exactly
    // its marker's place. "<ARTIST>" inside the title and cut values are the unit tests' part.
    if (!TemplateKeepsValuesWhole(tmpl) || title.find("<ARTIST>") != std::string_view::npos ||
        title.size() > kMaxTagValueBytes || artist.size() > kMaxTagValueBytes)
        return 0;
    TExportState marked = state;
    marked.Edit2 = "\x01";
    const std::vector<std::string> reference =
        splitCommandLine(BuildEncoderCommandLine(marked, 1, 44100, "\x02", "\x03"));
    CORVANEL_FUZZ_CHECK(reference.size() == args.size());
    for (std::size_t i = 0; i < args.size() && i < reference.size(); ++i) {
        std::string expected;
        for (char c : reference[i]) {
            if (i > 0 && c == '\x01')
                expected += output;
            else if (i > 0 && c == '\x02')
                expected += title;
            else if (i > 0 && c == '\x03')
                expected += artist;
            else
                expected += c;
        }
        CORVANEL_FUZZ_CHECK(args[i] == expected);
    }
    return 0;
}
