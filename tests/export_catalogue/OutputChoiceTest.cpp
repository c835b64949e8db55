#include "export/OutputChoice.h"
#include "tests/support/TempFolder.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace corvanel;

namespace {

// Programs "present" in the encoder folder, without touching the disk.
TFileExists Present(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& path) { return files.count(path) > 0; };
}

struct FilterCase {
    const char* name;
    const char* catalogue;
    std::set<std::string> files; // relative to "/enc/"
    const char* expected;
};

class DialogFilter : public testing::TestWithParam<FilterCase> {};

TEST_P(DialogFilter, OffersEntriesInEncodersOrder) {
    std::set<std::string> files;
    for (const std::string& f : GetParam().files)
        files.insert("/enc/" + f);
    const TEncoderCatalogue c = TEncoderCatalogue::FromBytes(GetParam().catalogue);
    EXPECT_EQ(SaveDialogFilter(c, "/enc/", Present(files)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogues, DialogFilter,
    testing::Values(
        FilterCase{"Empty", "", {}, ""},
        FilterCase{"WaveNeedsNoFile",
                   "[ENCODERS]\n<WAVE>=WAV\n[EXTENSION]\n<WAVE>=.wav\n",
                   {},
                   "WAV (*.wav)|*.wav|"},
        FilterCase{"OtherBuiltInNameOfferedToo",
                   "[ENCODERS]\n<RAW>=Raw\n[EXTENSION]\n<RAW>=.raw\n",
                   {},
                   "Raw (*.raw)|*.raw|"},
        FilterCase{"ProgramMustExist",
                   "[ENCODERS]\nlame=MP3\nflac=FLAC\n[EXTENSION]\nlame=.mp3\nflac=.flac\n",
                   {"flac"},
                   "FLAC (*.flac)|*.flac|"},
        FilterCase{"ProgramInSubFolder",
                   "[ENCODERS]\nbin/lame=MP3\n[EXTENSION]\nbin/lame=.mp3\n",
                   {"bin/lame"},
                   "MP3 (*.mp3)|*.mp3|"},
        FilterCase{"SameExtensionTwiceBothOfferedInEncodersOrder",
                   "[ENCODERS]\nb=Second\na=First\n[EXTENSION]\na=.mp3\nb=.mp3\n",
                   {"a", "b"},
                   "Second (*.mp3)|*.mp3|First (*.mp3)|*.mp3|"},
        FilterCase{"NoExtensionLineOrEmptyExtension",
                   "[ENCODERS]\na=A\nb=B\nc=C\n[EXTENSION]\nb=\nc=.c\n",
                   {"a", "b", "c"},
                   "C (*.c)|*.c|"},
        FilterCase{"NameLookupIgnoresCase",
                   "[encoders]\nLAME=MP3\n[Extension]\nlame=.mp3\n",
                   {"LAME"},
                   "MP3 (*.mp3)|*.mp3|"},
        FilterCase{
            "LineWithoutEqualsNamesNothing", "[ENCODERS]\nlame\n[EXTENSION]\n=.mp3\n", {""}, ""},
        // "|" ends a field: in a description it is shown as a full-width bar, and an extension
        // holding one cannot be a pattern
        FilterCase{"BarInDescription",
                   "[ENCODERS]\na=A|*.x|B\nb=Next\n[EXTENSION]\na=.a\nb=.b\n",
                   {"a", "b"},
                   "A｜*.x｜B (*.a)|*.a|Next (*.b)|*.b|"},
        FilterCase{"BarInExtension",
                   "[ENCODERS]\na=A\nb=B\n[EXTENSION]\na=.a|x\nb=.b\n",
                   {"a", "b"},
                   "B (*.b)|*.b|"}),
    [](const testing::TestParamInfo<FilterCase>& p) { return std::string(p.param.name); });

TEST(DialogFilterSplit, PairsOfDisplayTextAndPattern) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(SplitDialogFilter("WAV (*.wav)|*.wav|MP3 (*.mp3)|*.mp3|"),
              (Pairs{{"WAV (*.wav)", "*.wav"}, {"MP3 (*.mp3)", "*.mp3"}}));
    EXPECT_TRUE(SplitDialogFilter("").empty());
    const TEncoderCatalogue c = TEncoderCatalogue::FromBytes(
        "[ENCODERS]\n<WAVE>=W|A|V\n<RAW>=Raw\n[EXTENSION]\n<WAVE>=.wav\n<RAW>=.raw\n");
    EXPECT_EQ(SplitDialogFilter(SaveDialogFilter(c, "/enc/")),
              (Pairs{{"W｜A｜V (*.wav)", "*.wav"}, {"Raw (*.raw)", "*.raw"}}))
        << "every entry stays whole";
}

struct NameCase {
    const char* name;
    const char* source;
    const char* expected;
};

class DefaultName : public testing::TestWithParam<NameCase> {};

TEST_P(DefaultName, ReplacesTheExtensionOfTheSourceName) {
    EXPECT_EQ(DefaultOutputName(GetParam().source), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, DefaultName,
    testing::Values(NameCase{"Plain", "/music/song.mp3", "song_vr.wav"},
                    NameCase{"NoSource", "", "_vr.wav"},
                    NameCase{"NoExtension", "/music/noext", "noext_vr.wav"},
                    NameCase{"PointInTheFolder", "/music/a.b/song", "song_vr.wav"},
                    NameCase{"TwoPoints", "/music/live.2024.flac", "live.2024_vr.wav"},
                    NameCase{"OnlyAnExtension", "/music/.hidden", "_vr.wav"},
                    NameCase{"EmptyExtension", "song.", "song_vr.wav"}),
    test::ByNameField);

const char* const kCatalogue = "[ENCODERS]\n"
                               "<WAVE>=WAV\n"
                               "lame=MP3\n"
                               "[EXTENSION]\n"
                               "<WAVE>=.wav\n"
                               "lame=.mp3\n"
                               "other=.MP3\n"
                               "gone=.ogg\n"
                               "[PARAMETER-LO]\n"
                               "lame=-V 6 <OUTPUT>\n"
                               "[PARAMETER-MD]\n"
                               "lame=-V 2 <OUTPUT>\n"
                               "other=x\n"
                               "[PARAMETER-HI]\n"
                               "lame=-b 320 <OUTPUT>\n";

struct ChoiceCase {
    const char* chosen;
    const char* program;
};

class EncoderByExtension : public testing::TestWithParam<ChoiceCase> {};

TEST_P(EncoderByExtension, FirstExtensionLineMatchingWithoutCaseWins) {
    TExportState state;
    AcceptOutputChoice(state, TEncoderCatalogue::FromBytes(kCatalogue), GetParam().chosen);
    EXPECT_EQ(state.Edit2, GetParam().chosen);
    EXPECT_EQ(state.EncodeProgram, GetParam().program);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, EncoderByExtension,
    testing::Values(ChoiceCase{"/out/SONG.WAV", "<WAVE>"}, ChoiceCase{"/out/song.mp3", "lame"},
                    ChoiceCase{"/out/song.Mp3", "lame"},
                    // not offered (no ENCODERS line, no program file) but still chosen
                    ChoiceCase{"/out/song.ogg", "gone"}, ChoiceCase{"/out/song.flac", ""},
                    ChoiceCase{"/out/song", ""}, ChoiceCase{"/out.mp3/song", ""}),
    [](const auto& row) { return test::CaseName(row.param.chosen); });

TEST(EncoderTemplates, AcceptedChoiceRefillsTheThreeLists) {
    TExportState state;
    state.Encoders[0] = {{"old", "stale"}};
    state.EncodeProgram = "old";
    AcceptOutputChoice(state, TEncoderCatalogue::FromBytes(kCatalogue), "/out/a.flac");
    EXPECT_EQ(state.EncodeProgram, "");
    EXPECT_EQ(state.Encoders[0], (std::vector<TCatalogueLine>{{"lame", "-V 6 <OUTPUT>"}}));
    EXPECT_EQ(state.Encoders[1],
              (std::vector<TCatalogueLine>{{"lame", "-V 2 <OUTPUT>"}, {"other", "x"}}));
    EXPECT_EQ(state.Encoders[2], (std::vector<TCatalogueLine>{{"lame", "-b 320 <OUTPUT>"}}));
}

class ChooseOutputTest : public testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(exeDir / "addon.win");
        WriteCatalogue(kCatalogue);
        std::ofstream(exeDir / "addon.win" / "lame") << "#!/bin/sh\n";
    }
    void WriteCatalogue(std::string_view text) {
        std::ofstream(exeDir / "addon.win" / "encoder.inf", std::ios::binary) << text;
    }
    // A dialog that records what it was asked and answers `answer`.
    TSaveDialog Dialog(std::optional<std::string> answer) {
        return [this, answer](const TSaveDialogRequest& request) {
            asked.push_back(request);
            return answer;
        };
    }
    test::TempFolder folder;
    const fs::path exeDir = folder.Path();
    std::vector<TSaveDialogRequest> asked;
};

TEST_F(ChooseOutputTest, AcceptedChoiceSetsStateAndTheHolder) {
    TExportState state;
    TObjectEx holder;
    ChooseOutput(state, &holder, exeDir, "/music/song.mp3", Dialog("/out/song_vr.mp3"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Filter, "WAV (*.wav)|*.wav|MP3 (*.mp3)|*.mp3|");
    EXPECT_EQ(asked[0].FileName, "song_vr.wav");
    EXPECT_EQ(asked[0].DefaultExt, ".wav");
    EXPECT_EQ(state.EncodeDir, (exeDir / "addon.win").string() + "/");
    EXPECT_EQ(state.Edit2, "/out/song_vr.mp3");
    EXPECT_EQ(state.EncodeProgram, "lame");
    EXPECT_TRUE(OutputChosen(holder));
}

TEST_F(ChooseOutputTest, CancelLeavesTheEarlierChoiceAndClearsTheHolder) {
    TExportState state;
    ChooseOutput(state, nullptr, exeDir, "", Dialog("/out/a.mp3"));
    const TExportState before = state;
    // Later catalogue edits matter only at the next accepted choice.
    WriteCatalogue("[EXTENSION]\nlame=.wav\n");
    TObjectEx holder;
    holder.GenericProp1 = true;
    ChooseOutput(state, &holder, exeDir, "", Dialog(std::nullopt));
    EXPECT_FALSE(OutputChosen(holder));
    EXPECT_EQ(state.Edit2, before.Edit2);
    EXPECT_EQ(state.EncodeProgram, "lame");
    EXPECT_EQ(state.Encoders, before.Encoders);
}

TEST_F(ChooseOutputTest, QualityChangeNeedsNoNewChoice) {
    TExportState state;
    ChooseOutput(state, nullptr, exeDir, "", Dialog("/out/a.mp3"));
    state.QualitySelecter = 2;
    EXPECT_EQ(state.Encoders[state.QualitySelecter].front().Value, "-b 320 <OUTPUT>");
}

TEST_F(ChooseOutputTest, MissingCatalogueOffersNothingAndKnowsNoEncoder) {
    fs::remove(exeDir / "addon.win" / "encoder.inf");
    ::setenv("XDG_CONFIG_HOME", (exeDir / "no-user-catalogue").c_str(), 1);
    TExportState state;
    TObjectEx holder;
    ChooseOutput(state, &holder, exeDir, "", Dialog("/out/a.wav"));
    EXPECT_EQ(asked.at(0).Filter, "");
    EXPECT_EQ(asked.at(0).FileName, "_vr.wav");
    EXPECT_EQ(state.Edit2, "/out/a.wav");
    EXPECT_EQ(state.EncodeProgram, "");
    EXPECT_TRUE(OutputChosen(holder)) << "the choice itself was accepted";
}

struct LookupCase {
    const char* name;
    std::set<std::string> catalogues; // folders holding encoder.inf
    const char* expected;
};

class CatalogueLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(CatalogueLookup, FirstFolderHoldingACatalogueWins) {
    const std::vector<std::string> candidates{"/opt/c/bin/addon.win/",
                                              "/home/k/.config/corvanel/addon.win/",
                                              "/opt/c/share/corvanel/addon.win/"};
    const std::set<std::string>& present = GetParam().catalogues;
    const TFileExists exists = [&](const std::string& path) {
        EXPECT_TRUE(path.ends_with("/encoder.inf")) << path;
        return present.count(path.substr(0, path.size() - std::string("encoder.inf").size())) > 0;
    };
    EXPECT_EQ(FirstEncoderFolder(candidates, exists), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, CatalogueLookup,
    testing::Values(LookupCase{"BesideBeforeAll",
                               {"/opt/c/bin/addon.win/", "/home/k/.config/corvanel/addon.win/",
                                "/opt/c/share/corvanel/addon.win/"},
                               "/opt/c/bin/addon.win/"},
                    LookupCase{
                        "UserBeforeInstalled",
                        {"/home/k/.config/corvanel/addon.win/", "/opt/c/share/corvanel/addon.win/"},
                        "/home/k/.config/corvanel/addon.win/"},
                    LookupCase{"InstalledLast",
                               {"/opt/c/share/corvanel/addon.win/"},
                               "/opt/c/share/corvanel/addon.win/"},
                    LookupCase{"NoneFallsBackBeside", {}, "/opt/c/bin/addon.win/"}),
    [](const testing::TestParamInfo<LookupCase>& c) { return c.param.name; });

TEST(CatalogueCandidates, BesideThenUserThenInstalled) {
    ::setenv("XDG_CONFIG_HOME", "/home/k/.config", 1);
    EXPECT_EQ(
        EncoderFolderCandidates("/opt/c/bin"),
        (std::vector<std::string>{"/opt/c/bin/addon.win/", "/home/k/.config/corvanel/addon.win/",
                                  "/opt/c/share/corvanel/addon.win/"}));
}

} // namespace
