#include "tests/export_run/ExportRunFixture.h"

#include "audio/include/bass.h"
#include "dsp/ReduceOffline.h"

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <unistd.h>

namespace corvanel::test {

void RecordingView::ChooseOutput(TObjectEx& sender) {
    ++ChooseCalls;
    if (OnChoose)
        OnChoose(sender);
}

void RecordingView::ShowWritingView(bool shown) {
    WritingShown = shown;
    if (shown)
        ++ShowCalls;
}

void RecordingView::ProcessEvents() {
    ++EventCalls;
    if (OnEvents)
        OnEvents(EventCalls);
}

Rig::Rig(TExportOptions options) : Run(Chain, State, View, options) {}

TempDir::TempDir(const std::string& tag) {
    static int counter = 0;
    FPath = fs::temp_directory_path() / ("corvanel_" + tag + "_" + std::to_string(::getpid()) +
                                         "_" + std::to_string(++counter));
    fs::remove_all(FPath);
    fs::create_directories(FPath);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(FPath, ec);
}

std::vector<std::int16_t> TestSignal(int sampleRate, std::int64_t pairs, std::uint32_t seed) {
    std::vector<std::int16_t> s(static_cast<std::size_t>(pairs) * 2);
    std::uint32_t lcg = seed;
    auto noise = [&lcg] {
        lcg = lcg * 1664525u + 1013904223u;
        return static_cast<double>(lcg >> 16) / 65536.0 - 0.5;
    };
    const double w = 2.0 * M_PI / sampleRate;
    for (std::int64_t i = 0; i < pairs; ++i) {
        const double t = static_cast<double>(i);
        const double centre = 6000.0 * std::sin(w * 440.0 * t);
        const double left = centre + 3000.0 * std::sin(w * 1000.0 * t) + 800.0 * noise();
        const double right = centre + 3000.0 * std::sin(w * 2500.0 * t) + 800.0 * noise();
        s[static_cast<std::size_t>(2 * i)] = static_cast<std::int16_t>(std::lrint(left));
        s[static_cast<std::size_t>(2 * i + 1)] = static_cast<std::int16_t>(std::lrint(right));
    }
    return s;
}

void WriteWav(const fs::path& file, const std::vector<std::int16_t>& samples, int sampleRate,
              const std::string& title, const std::string& artist) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(file.c_str(), SFM_WRITE, &info);
    if (f == nullptr)
        throw std::runtime_error("cannot write " + file.string());
    if (!title.empty())
        sf_set_string(f, SF_STR_TITLE, title.c_str());
    if (!artist.empty())
        sf_set_string(f, SF_STR_ARTIST, artist.c_str());
    sf_writef_short(f, samples.data(), static_cast<sf_count_t>(samples.size() / 2));
    sf_close(f);
}

WavData ReadWav(const fs::path& file) {
    WavData data;
    SF_INFO info{};
    SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
    if (f == nullptr)
        return data;
    data.SampleRate = info.samplerate;
    data.Channels = info.channels;
    data.Samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t got = sf_readf_short(f, data.Samples.data(), info.frames);
    data.Samples.resize(static_cast<std::size_t>(got * info.channels));
    sf_close(f);
    return data;
}

std::vector<std::uint8_t> DecodeTempo(const fs::path& file, double keyChange,
                                      std::uint32_t blockBytes) {
    std::vector<std::uint8_t> out;
    const HSTREAM source = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_STREAM_DECODE);
    const HSTREAM tempo = BASS_FX_TempoCreate(source, BASS_STREAM_DECODE);
    if (source == 0 || tempo == 0)
        return out;
    BASS_ChannelSetAttribute(tempo, BASS_ATTRIB_TEMPO_PITCH, static_cast<float>(keyChange));
    std::vector<std::uint8_t> block(blockBytes);
    for (;;) {
        const DWORD n = BASS_ChannelGetData(tempo, block.data(), blockBytes);
        if (n == static_cast<DWORD>(-1))
            break;
        out.insert(out.end(), block.begin(), block.begin() + n);
    }
    BASS_StreamFree(tempo);
    BASS_StreamFree(source);
    return out;
}

std::vector<std::uint8_t> AlignedReference(const std::vector<std::uint8_t>& pcm,
                                           std::uint32_t sampleRate, bool reduce,
                                           std::int32_t fftPoint, std::uint32_t blockBytes) {
    ReduceParams params;
    params.VREnable = reduce;
    params.VRFFTPoint = fftPoint;
    ReduceProcessor processor(params);
    processor.SetSourceRate(sampleRate);
    std::vector<std::uint8_t> out;
    AlignedReducer reducer(processor, [&out](const std::uint8_t* data, std::uint32_t n) {
        out.insert(out.end(), data, data + n);
    });
    for (std::size_t at = 0; at < pcm.size(); at += blockBytes) {
        const std::size_t n = std::min<std::size_t>(blockBytes, pcm.size() - at);
        reducer.Feed(std::span<const std::uint8_t>(pcm.data() + at, n));
    }
    reducer.Finish();
    return out;
}

std::vector<std::uint8_t> Bytes(const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> b(samples.size() * 2);
    std::memcpy(b.data(), samples.data(), b.size());
    return b;
}

std::string AddonDir() {
    return std::string(CORVANEL_BIN_DIR) + "/addon.win/";
}

} // namespace corvanel::test
