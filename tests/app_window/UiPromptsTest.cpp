#include "app/dialogs/UiPrompts.h"

#include <gtest/gtest.h>

using corvanel::dialogs::QtFileFilters;

namespace {

struct FilterCase {
    const char* name;
    const char* pipe;
    QStringList expected;
};

class FilterCases : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterCases, BecomeQtNameFilters) {
    EXPECT_EQ(QtFileFilters(QString::fromUtf8(GetParam().pipe)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterCases,
    ::testing::Values(
        FilterCase{"open_dialog",
                   "All Supported|*.wav;*.mp3;*.wma;*.aac;*.mp4;*.m4a;*.ogg|Wave (*.wav)|*.wav|"
                   "MP3 (*.mp3)|*.mp3|Windows Media Audio (*.wma)|*.wma|"
                   "Advanced Audio Coding (*.aac;*.mp4;*.m4a)|*.aac;*.mp4;*.m4a|"
                   "Ogg Vorbis (*.ogg)|*.ogg",
                   {"All Supported (*.wav *.mp3 *.wma *.aac *.mp4 *.m4a *.ogg)", "Wave (*.wav)",
                    "MP3 (*.mp3)", "Windows Media Audio (*.wma)",
                    "Advanced Audio Coding (*.aac;*.mp4;*.m4a) (*.aac *.mp4 *.m4a)",
                    "Ogg Vorbis (*.ogg)"}},
        FilterCase{"save_dialog_trailing_bar",
                   "WAVE (*.wav)|*.wav|FLAC (*.flac)|*.flac|",
                   {"WAVE (*.wav)", "FLAC (*.flac)"}},
        FilterCase{"text_without_patterns_in_it", "Audio|*.wav", {"Audio (*.wav)"}},
        FilterCase{"empty", "", {}},
        FilterCase{"japanese_text", "音声ファイル|*.wav;*.mp3", {"音声ファイル (*.wav *.mp3)"}}),
    [](const ::testing::TestParamInfo<FilterCase>& p) { return std::string(p.param.name); });

} // namespace
