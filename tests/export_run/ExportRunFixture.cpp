#include "tests/export_run/ExportRunFixture.h"

#include "audio/include/bass.h"
#include "dsp/ReduceOffline.h"

#include <cmath>
#include <cstring>

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
