// The command-line splitter on any text, and the quoting that feeds it: a quoted program and
// a quoted argument always come back as exactly their texts.
// Input: the text to split; its first two zero-separated fields are quoted.
#include "export/EncoderCommandLine.h"
#include "fuzz/FuzzInput.h"
#include "base/CommandLine.h"

#include <string>

using namespace corvanel;
using corvanel::splitCommandLine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& arg : splitCommandLine(text))
        CORVANEL_FUZZ_CHECK(arg.size() <= text.size());

    const auto f = corvanel::fuzz::SplitFields(data, size, 2);
    const std::string program(f[0]), argument(f[1]);
    CORVANEL_FUZZ_CHECK(splitCommandLine(QuoteProgram(program) + " " + QuoteArgument(argument)) ==
                        (std::vector<std::string>{program, argument}));
    CORVANEL_FUZZ_CHECK(splitCommandLine("p x" + QuoteArgument(argument) + "\t-") ==
                        (std::vector<std::string>{"p", "x" + argument, "-"}));
    return 0;
}
