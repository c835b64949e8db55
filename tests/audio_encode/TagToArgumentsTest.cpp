// Tag text travels from a file's tags, through a command line, to an encoder's arguments; it
// must arrive as plain text and never be run.
#include "tests/audio_encode/TagFixtures.h"
#include "tests/audio_encode/TestSupport.h"
#include "base/CommandLine.h"
#include "audio/encode/EncodeQueue.h"
#include "audio/encode/Outputs.h"
#include "audio/tags/TagReader.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace corvanel::audio::encode {
namespace {

using test::TempFolder;

// How a catalogue template quotes a value: doubled inner quotes between two quotes.
std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

struct HostileCase {
    const char* name;
    const char* title;
    const char* arrives; // the title as the tag reader gives it
};

class HostileTag : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileTag, ReachesTheEncoderAsOneArgument) {
    if (!test::haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is needed to make the fixture";
    TempFolder dir;
    const std::string title = GetParam().title;
    const auto source = dir / "src.mp3";
    ASSERT_TRUE(test::makeTaggedFile(source, "libmp3lame", {title, "Band", "", "", ""}));
    const auto tags = tags::readTags(source);
    ASSERT_TRUE(tags);
    ASSERT_EQ(tags->title, GetParam().arrives);

    const auto script = dir / "my enc";
    test::writeScript(script, test::recordBody());
    const std::string commandLine = "\"" + script.string() + "\" --tt " +
                                    quoted(tags::expandTagFormat("%TITL", *tags)) + " --ta " +
                                    quoted(tags->artist + " [Reduced]") + " -";
    EncodeResult started;
    EncodeQueue queue(startProgramOutput(splitCommandLine(commandLine), started),
                      EncodeQueue::Mode::Queued);
    ASSERT_TRUE(started.ok()) << started.detail;
    queue.write("abcd", 4);
    ASSERT_TRUE(queue.finish().ok());

    EXPECT_EQ(
        test::readRecordedArgs(script),
        (std::vector<std::string>{"--tt", GetParam().arrives, "--ta", "Band [Reduced]", "-"}));
    EXPECT_EQ(test::ReadFile(script.string() + ".bytes"), "abcd");
    for (const char* trap : {"pwned1", "pwned2", "pwned3"})
        EXPECT_FALSE(std::filesystem::exists(dir / trap)) << trap;
}

HostileCase same(const char* name, const char* title) {
    return {name, title, title};
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileTag,
                         ::testing::Values(same("Quotes", "say \"hi\" \"\""),
                                           same("CommandSubstitution", "$(touch pwned1)"),
                                           same("Backquotes", "`touch pwned2`"),
                                           same("Semicolons", "a; touch pwned3; b"),
                                           HostileCase{"LineBreak", "line1\nline2", "line1 line2"},
                                           same("PipeAndRedirection", "a | b & c > d"),
                                           same("BackslashAndWildcards", "AC\\DC 'single' * ?"),
                                           same("LoneQuote", "\""), same("OnlySpaces", "   ")),
                         test::ByNameField);

} // namespace
} // namespace corvanel::audio::encode
