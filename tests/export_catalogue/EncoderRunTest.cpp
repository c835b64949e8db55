#include "tests/support/TempFolder.h"
// Runs every template of the shipped catalogue through its real encoder: the command line as
// the export builds it, split by the audio layer's rules, started without a shell, fed raw PCM on
// standard input; the output is then probed for its duration and tags.
#include "export/EncoderCommandLine.h"
#include "base/CommandLine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace corvanel;

namespace {

// Runs argv with `input` on standard input; the exit status.
int RunProgram(const std::vector<std::string>& args, const std::string& input) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[0], 0);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[0]);
    std::size_t written = 0;
    while (written < input.size()) {
        const ssize_t n = ::write(pipeFds[1], input.data() + written, input.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    ::close(pipeFds[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// Probed duration (s) and tags (keys in lower case) of a media file.
struct Probe {
    double duration = -1.0;
    std::map<std::string, std::string> tags;
};

Probe ProbeFile(const fs::path& file) {
    const std::string text =
        Capture("ffprobe -v error -show_entries format=duration:format_tags:stream_tags "
                "-of default=noprint_wrappers=1 '" +
                file.string() + "'");
    Probe probe;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "duration") {
            probe.duration = std::atof(value.c_str());
        } else if (key.rfind("TAG:", 0) == 0) {
            key = key.substr(4);
            for (char& c : key)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            probe.tags.emplace(key, value);
        }
    }
    return probe;
}

// 16-bit signed little-endian stereo: a tone on the left, another on the right.
std::string Pcm(int sampleRate, double seconds) {
    const int frames = static_cast<int>(sampleRate * seconds);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(frames) * 4);
    for (int i = 0; i < frames; ++i) {
        for (double hz : {440.0, 660.0}) {
            const auto s = static_cast<std::int16_t>(
                std::lrint(8000.0 * std::sin(2.0 * M_PI * hz * i / sampleRate)));
            bytes += static_cast<char>(s & 0xFF);
            bytes += static_cast<char>((s >> 8) & 0xFF);
        }
    }
    return bytes;
}

struct RunCase {
    std::string program;
    std::string extension;
    int quality;
    int sampleRate;
};

std::vector<RunCase> Cases() {
    const TEncoderCatalogue catalogue = TEncoderCatalogue::LoadFromFile(CORVANEL_SHIPPED_CATALOGUE);
    std::vector<RunCase> cases;
    for (const TCatalogueLine& entry : catalogue.Lines(kEncodersSection)) {
        if (IsWaveEncoder(entry.Key))
            continue;
        const std::string ext = catalogue.Value(kExtensionSection, entry.Key).value_or("");
        for (int quality = 0; quality < 3; ++quality)
            cases.push_back({entry.Key, ext, quality, 44100});
        cases.push_back({entry.Key, ext, 1, 22050});
    }
    return cases;
}

class ShippedEncoder : public testing::TestWithParam<RunCase> {};

TEST_P(ShippedEncoder, WritesDecodableAudioWithTags) {
    const RunCase& c = GetParam();
    const std::string encodeDir = CORVANEL_ADDON_DIR;
    if (!fs::exists(encodeDir + c.program))
        GTEST_SKIP() << c.program << " is not installed";

    const test::TempFolder folder;
    const fs::path dir = folder.Path();
    const fs::path output = dir / ("out \"q\" " + std::to_string(c.quality) + "_" +
                                   std::to_string(c.sampleRate) + c.extension);
    fs::remove(output);

    TExportState state;
    TObjectEx holder;
    state.EncodeDir = encodeDir;
    ChooseOutput(
        state, &holder, fs::path(encodeDir).parent_path().parent_path(), "/music/song.wav",
        [&](const TSaveDialogRequest&) { return std::optional<std::string>(output.string()); });
    ASSERT_TRUE(OutputChosen(holder));
    ASSERT_EQ(state.EncodeProgram, c.program);

    const std::string title = R"(Say "Hi" 曲 \)";
    const std::string artist = "Ünïcode Band";
    const std::string command =
        BuildEncoderCommandLine(state, c.quality, c.sampleRate, title, artist);
    const std::vector<std::string> args = splitCommandLine(command);
    ASSERT_EQ(RunProgram(args, Pcm(c.sampleRate, 2.0)), 0) << command;

    Probe probe = ProbeFile(output);
    probe.tags.emplace("title", "(none)");
    probe.tags.emplace("artist", "(none)");
    EXPECT_NEAR(probe.duration, 2.0, 0.08) << command;
    EXPECT_EQ(probe.tags.at("title"), title) << command;
    EXPECT_EQ(probe.tags.at("artist"), artist + " [Reduced]") << command;
    fs::remove(output);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ShippedEncoder, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<RunCase>& p) {
                             return p.param.program + "_q" + std::to_string(p.param.quality) + "_" +
                                    std::to_string(p.param.sampleRate);
                         });

} // namespace
