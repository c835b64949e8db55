#include "tests/support/Wav.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace corvanel::test {

namespace {
int SubFormat(WavSample type) {
    switch (type) {
    case WavSample::U8:
        return SF_FORMAT_PCM_U8;
    case WavSample::S24:
        return SF_FORMAT_PCM_24;
    case WavSample::F32:
        return SF_FORMAT_FLOAT;
    case WavSample::S16:
        break;
    }
    return SF_FORMAT_PCM_16;
}
} // namespace

void WriteWav(const std::filesystem::path& file, const std::vector<std::int16_t>& samples,
              int channels, int sampleRate, WavSample type, const WavTags& tags) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SubFormat(type);
    SNDFILE* f = sf_open(file.c_str(), SFM_WRITE, &info);
    if (f == nullptr)
        throw std::runtime_error("cannot write " + file.string() + ": " + sf_strerror(nullptr));
    // A float file would otherwise carry a peak chunk the tests do not ask for.
    sf_command(f, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    if (!tags.Title.empty())
        sf_set_string(f, SF_STR_TITLE, tags.Title.c_str());
    if (!tags.Artist.empty())
        sf_set_string(f, SF_STR_ARTIST, tags.Artist.c_str());
    const auto frames =
        static_cast<sf_count_t>(samples.size() / static_cast<std::size_t>(channels));
    sf_count_t written = 0;
    if (type == WavSample::F32) {
        // Scaled here: libsndfile's own conversion from 16-bit to float is not /32768.
        std::vector<float> scaled(samples.size());
        for (std::size_t i = 0; i < samples.size(); ++i)
            scaled[i] = static_cast<float>(samples[i]) / 32768.0f;
        written = sf_writef_float(f, scaled.data(), frames);
    } else {
        written = sf_writef_short(f, samples.data(), frames);
    }
    sf_close(f);
    if (written != frames)
        throw std::runtime_error("short write to " + file.string());
}

WavData ReadWav(const std::filesystem::path& file) {
    WavData data;
    SF_INFO info{};
    SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
    if (f == nullptr)
        return data;
    data.SampleRate = info.samplerate;
    data.Channels = info.channels;
    const auto count = static_cast<std::size_t>(info.frames * info.channels);
    if ((info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT) {
        // The inverse of the scaling WriteWav does, so float files give back what was written.
        std::vector<float> raw(count);
        raw.resize(
            static_cast<std::size_t>(sf_readf_float(f, raw.data(), info.frames) * info.channels));
        for (const float v : raw)
            data.Samples.push_back(
                static_cast<std::int16_t>(std::clamp(std::lround(v * 32768.0f), -32768L, 32767L)));
    } else {
        data.Samples.resize(count);
        const sf_count_t got = sf_readf_short(f, data.Samples.data(), info.frames);
        data.Samples.resize(static_cast<std::size_t>(got * info.channels));
    }
    sf_close(f);
    return data;
}

} // namespace corvanel::test
