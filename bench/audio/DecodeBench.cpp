// Decoding speed of a 3-minute MP3 and AAC file through BASS_ChannelGetData, next to
// `ffmpeg -f null -` on the same file in the same run (counter ffmpeg_ratio = our time / ffmpeg's;
// below 1 is faster), and the throughput of a tempo stream at +20 %.
#include "audio/include/bass.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path& workDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / "corvanel-audio-bench";
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// A 3-minute stereo test file: two tones and pink-ish noise, encoded by ffmpeg.
const fs::path& fixture(const std::string& name, const std::string& codecArgs) {
    static std::map<std::string, fs::path> made;
    auto it = made.find(name);
    if (it != made.end())
        return it->second;
    const fs::path out = workDir() / name;
    if (!fs::exists(out)) {
        const std::string cmd =
            "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
            "\"sine=f=440:r=44100:d=180\" -f lavfi -i \"anoisesrc=c=pink:r=44100:d=180:a=0.2\" "
            "-filter_complex \"[0][1]amerge=inputs=2,pan=stereo|c0=c0+0.5*c1|c1=0.5*c0+c1\" " +
            codecArgs + " '" + out.string() + "'";
        if (std::system(cmd.c_str()) != 0)
            throw std::runtime_error("ffmpeg failed: " + cmd);
    }
    return made.emplace(name, out).first->second;
}

double ffmpegSeconds(const fs::path& file) {
    const std::string cmd =
        "ffmpeg -nostdin -loglevel error -threads 1 -i '" + file.string() + "' -f null -";
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        if (std::system(cmd.c_str()) != 0)
            throw std::runtime_error("ffmpeg failed");
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

void decodeFile(benchmark::State& state, const fs::path& file, bool aac) {
    const double reference = ffmpegSeconds(file);
    std::vector<char> block(44100 * 2); // half a second, as the export pulls
    double ours = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const std::string path = file.string();
        const HSTREAM h =
            aac ? BASS_AAC_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE)
                : BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
        if (!h) {
            state.SkipWithError("open failed");
            return;
        }
        for (;;) {
            const DWORD n = BASS_ChannelGetData(h, block.data(), static_cast<DWORD>(block.size()));
            if (n == static_cast<DWORD>(-1))
                break;
            bytes += n;
        }
        BASS_StreamFree(h);
        ours += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.SetBytesProcessed(bytes);
    state.counters["ffmpeg_s"] = reference;
    state.counters["ffmpeg_ratio"] = ours / static_cast<double>(state.iterations()) / reference;
    state.counters["x_realtime"] = 180.0 / (ours / static_cast<double>(state.iterations()));
}

void BM_DecodeMp3(benchmark::State& state) {
    decodeFile(state, fixture("bench.mp3", "-c:a libmp3lame -b:a 192k"), false);
}
void BM_DecodeAac(benchmark::State& state) {
    decodeFile(state, fixture("bench.m4a", "-c:a aac -b:a 192k"), true);
}

void BM_TempoPlus20(benchmark::State& state) {
    const std::string path = fixture("bench.wav", "-c:a pcm_s16le").string();
    std::vector<char> block(44100 * 2);
    int64_t bytes = 0;
    for (auto _ : state) {
        const HSTREAM src = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
        const HSTREAM fx = BASS_FX_TempoCreate(src, BASS_STREAM_DECODE);
        BASS_ChannelSetAttribute(fx, BASS_ATTRIB_TEMPO, 20.0f);
        for (;;) {
            const DWORD n = BASS_ChannelGetData(fx, block.data(), static_cast<DWORD>(block.size()));
            if (n == static_cast<DWORD>(-1))
                break;
            bytes += n;
        }
        BASS_StreamFree(fx);
        BASS_StreamFree(src);
    }
    state.SetBytesProcessed(bytes);
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(bytes) / (44100.0 * 4), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DecodeAac)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TempoPlus20)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
