// Plays the program's chain in real time — a file source, a playing tempo stream whose DSP
// routine frames the audio like the vocal reducer (N = 32768 sample pairs: waits for 4*N bytes,
// then pushes 3*N bytes per frame into a playing push stream, and silences its block) and costs
// a set CPU time per frame — and prints the audio thread's and the device callback's time and
// the count of callbacks that found a buffer short.
//
// Usage: bench_audio_playback [seconds=60] [ms of DSP work per 16384 sample pairs=5 | real]
// "real" runs the program's reduction processor itself at N = 32768 instead of the stand-in.
// The device is SDL's default (SDL_AUDIODRIVER=dummy runs silently, in real time).
#include "audio/include/AudioDiagnostics.h"
#include "audio/include/bass.h"
#include "dsp/ReduceProcessor.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr size_t kN = 32768;

struct Reducer {
    HSTREAM out = 0;
    double msPerFrame = 10.0;
    std::vector<char> queue;
    std::atomic<uint64_t> frames{0};
};

void spin(double ms) {
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::duration<double, std::milli>(ms);
    volatile double x = 0;
    while (std::chrono::steady_clock::now() < end)
        x = x + std::sqrt(x + 1.0);
}

// On the audio thread: the reducer's framing, with a stand-in for its FFT work.
void reduce(HDSP, DWORD, void* buffer, DWORD length, void* user) {
    auto* r = static_cast<Reducer*>(user);
    const char* in = static_cast<const char*>(buffer);
    r->queue.insert(r->queue.end(), in, in + length);
    while (r->queue.size() >= 4 * kN) {
        spin(r->msPerFrame);
        BASS_StreamPutData(r->out, r->queue.data(), 3 * kN);
        r->queue.erase(r->queue.begin(), r->queue.begin() + 3 * kN);
        ++r->frames;
    }
    std::memset(buffer, 0, length);
}

// On the audio thread: the reduction processor itself; it sends its frames to its playback sink.
void realReduce(HDSP handle, DWORD channel, void* buffer, DWORD length, void* user) {
    corvanel::ReduceProcessor::DspCallback(handle, channel, buffer, length, user);
}

// On the audio thread: the scope's tap.
std::mutex viewLock;
std::vector<char> view;
void tap(HDSP, DWORD, void* buffer, DWORD length, void*) {
    std::lock_guard guard(viewLock);
    view.assign(static_cast<char*>(buffer), static_cast<char*>(buffer) + length);
}

std::filesystem::path makeSource(int seconds) {
    const auto path = std::filesystem::temp_directory_path() / "corvanel-playback-load.wav";
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
                            "\"sine=f=440:r=44100:d=" +
                            std::to_string(seconds + 5) + "\" -ac 2 -c:a pcm_s16le '" +
                            path.string() + "'";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg failed\n");
        std::exit(1);
    }
    return path;
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const bool real = argc > 2 && std::strcmp(argv[2], "real") == 0;
    const double msPer16k = argc > 2 && !real ? std::atof(argv[2]) : 5.0;
    const std::string source = makeSource(seconds).string();

    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) {
        std::fprintf(stderr, "BASS_Init failed: %d\n", BASS_ErrorGetCode());
        return 1;
    }
    BASS_SetConfig(BASS_CONFIG_BUFFER, 1100);
    BASS_Start();

    Reducer reducer;
    reducer.msPerFrame = msPer16k * static_cast<double>(kN) / 16384.0;
    const HSTREAM src = BASS_StreamCreateFile(FALSE, source.c_str(), 0, 0, BASS_STREAM_DECODE);
    const HSTREAM fx = BASS_FX_TempoCreate(src, 0);
    reducer.out = BASS_StreamCreate(44100, 2, 0, STREAMPROC_PUSH, nullptr);
    corvanel::ReduceParams params;
    params.VREnable = true;
    corvanel::ReduceProcessor processor(params);
    processor.ChangeFrameSize(static_cast<std::int32_t>(kN));
    processor.SetPlaybackSink([&reducer](const std::uint8_t* data, std::uint32_t length) {
        BASS_StreamPutData(reducer.out, data, length);
        ++reducer.frames;
    });
    if (real)
        BASS_ChannelSetDSP(fx, realReduce, &processor, 0);
    else
        BASS_ChannelSetDSP(fx, reduce, &reducer, 0);
    BASS_ChannelSetDSP(reducer.out, tap, nullptr, 0);
    BASS_ChannelSetAttribute(reducer.out, BASS_ATTRIB_VOL, 0.1f);
    BASS_ChannelPlay(fx, -1);
    BASS_ChannelPlay(reducer.out, -1);

    const auto start = corvanel::audio::audioDiagnostics();
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const auto end = corvanel::audio::audioDiagnostics();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double played =
        BASS_ChannelBytes2Seconds(src, BASS_ChannelGetPosition(src, BASS_POS_BYTE));

    std::printf("wall time               %.2f s (source decoded to %.2f s)\n", wall, played);
    if (real)
        std::printf("DSP frames              %llu (the reduction processor, N = %zu)\n",
                    static_cast<unsigned long long>(reducer.frames.load()), kN);
    else
        std::printf("DSP frames              %llu (%.2f ms of work each)\n",
                    static_cast<unsigned long long>(reducer.frames.load()), reducer.msPerFrame);
    std::printf("device callbacks        %llu\n",
                static_cast<unsigned long long>(end.callbacks - start.callbacks));
    std::printf("underruns               %llu\n",
                static_cast<unsigned long long>(end.underruns - start.underruns));
    const double upd = end.updateCpuSeconds - start.updateCpuSeconds;
    const double cb = end.callbackSeconds - start.callbackSeconds;
    if (real)
        std::printf("audio thread CPU       %.3f s (%.2f %% of one core, the processor included)\n",
                    upd, 100.0 * upd / wall);
    else
        std::printf("audio thread CPU       %.3f s (%.2f %% of one core; DSP work %.3f s of it)\n",
                    upd, 100.0 * upd / wall, reducer.frames * reducer.msPerFrame / 1000.0);
    std::printf("device callback time    %.4f s (%.3f %% of one core, %.1f us per callback)\n", cb,
                100.0 * cb / wall,
                1e6 * cb /
                    static_cast<double>(std::max<uint64_t>(1, end.callbacks - start.callbacks)));
    BASS_Free();
    std::filesystem::remove(source);
    return 0;
}
