#include "base/CommandLine.h"

#include <gtest/gtest.h>

namespace corvanel {
namespace {

struct SplitCase {
    const char* name;
    const char* text;
    std::vector<std::string> args;
};

class SplitCommandLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, GivesTheArgumentsWindowsProgramsWouldSee) {
    EXPECT_EQ(splitCommandLine(GetParam().text), GetParam().args);
}

const SplitCase kCases[] = {
    {"Empty", "", {}},
    {"OnlyBlanks", " \t ", {}},
    {"PlainWords", "lame -b 128 - out.mp3", {"lame", "-b", "128", "-", "out.mp3"}},
    {"RunsOfBlanksAndTabs", "  a \t b\t\tc  ", {"a", "b", "c"}},
    {"QuotedProgramWithSpaces", "\"/opt/my dir/lame\" -", {"/opt/my dir/lame", "-"}},
    {"ProgramKeepsBackslashes", "\"C:\\enc\\addon.win\\\" x", {"C:\\enc\\addon.win\\", "x"}},
    {"ProgramEndsAtClosingQuote", "\"a b\"c d", {"a b", "c", "d"}},
    {"DoubledQuoteInProgram", "\"/opt/in\"\"st\"\"\" x", {"/opt/in\"st\"", "x"}},
    {"ProgramOfOnlyAQuote", "\"\"\"\"", {"\""}},
    {"QuotedArgumentWithSpaces", "p \"out file.mp3\"", {"p", "out file.mp3"}},
    {"EmptyQuotedArgument", "p \"\" x", {"p", "", "x"}},
    {"DoubledQuoteInsideQuotes", "p \"say \"\"hi\"\"\" x", {"p", "say \"hi\"", "x"}},
    {"QuotesJoinParts", "p a\"b c\"d", {"p", "ab cd"}},
    {"UnclosedQuoteRunsToEnd", "p \"a b", {"p", "a b"}},
    {"EvenBackslashesBeforeQuote", "p a\\\\\"b c\"", {"p", "a\\b c"}},
    {"OddBackslashesBeforeQuote", "p a\\\\\\\"b", {"p", "a\\\"b"}},
    {"EscapedQuote", "p \\\"x\\\"", {"p", "\"x\""}},
    {"BackslashesElsewhereKept", "p a\\\\b\\ c\\", {"p", "a\\\\b\\", "c\\"}},
    {"ShellCharactersArePlain",
     "p $(touch x) `id` ; | & > <",
     {"p", "$(touch", "x)", "`id`", ";", "|", "&", ">", "<"}},
    {"NewlineIsNotASeparator", "p \"a\nb\" c\nd", {"p", "a\nb", "c\nd"}},
    {"Utf8Kept", "p \"\xE6\x9B\xB2 1\"", {"p", "\xE6\x9B\xB2 1"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, SplitCommandLine, ::testing::ValuesIn(kCases),
                         [](const auto& tpi) { return std::string(tpi.param.name); });

} // namespace
} // namespace corvanel
