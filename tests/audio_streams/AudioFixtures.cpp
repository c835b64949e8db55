#include "tests/audio_streams/AudioFixtures.h"

#include "audio/include/bass.h"
#include "tests/support/TempFolder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace corvanel::audio::test {

namespace fs = std::filesystem;

fs::path fixtureDir() {
    static const corvanel::test::TempFolder dir("audio_fixtures");
    return dir.Path();
}

fs::path writeWav(const std::string& name, const std::vector<int16_t>& samples, unsigned chans,
                  uint32_t rate, WavSample type) {
    const fs::path path = fixtureDir() / name;
    corvanel::test::WriteWav(path, samples, static_cast<int>(chans), static_cast<int>(rate), type);
    return path;
}

fs::path convert(const fs::path& input, const std::string& name, const std::string& args) {
    const fs::path output = fixtureDir() / name;
    const std::string cmd = "ffmpeg -nostdin -loglevel error -y -i '" + input.string() + "' " +
                            args + " '" + output.string() + "'";
    if (std::system(cmd.c_str()) != 0)
        throw std::runtime_error("ffmpeg failed: " + cmd);
    return output;
}

std::vector<int16_t> decodeAll(uint32_t handle, size_t blockBytes) {
    std::vector<int16_t> out;
    std::vector<int16_t> block(blockBytes / 2);
    for (;;) {
        const DWORD n = BASS_ChannelGetData(handle, block.data(), static_cast<DWORD>(blockBytes));
        if (n == static_cast<DWORD>(-1) || n == 0)
            break;
        out.insert(out.end(), block.begin(), block.begin() + n / 2);
    }
    return out;
}

double crossingRate(const std::vector<int16_t>& s, unsigned chans, unsigned channel,
                    uint32_t rate) {
    // Sign changes with hysteresis, over the span from the first to the last: leading or
    // trailing near-silence (codec priming, padding) does not count.
    constexpr int kThreshold = 2000;
    int sign = 0;
    size_t crossings = 0, first = 0, last = 0;
    const size_t frames = s.size() / chans;
    for (size_t i = 0; i < frames; ++i) {
        const int v = s[i * chans + channel];
        const int now = v > kThreshold ? 1 : v < -kThreshold ? -1 : 0;
        if (now == 0 || now == sign)
            continue;
        if (sign != 0) {
            if (crossings == 0)
                first = i;
            last = i;
            ++crossings;
        }
        sign = now;
    }
    if (crossings < 2)
        return 0.0;
    return static_cast<double>(crossings - 1) / 2.0 * rate / static_cast<double>(last - first);
}

double rms(const std::vector<int16_t>& s, unsigned chans, unsigned channel) {
    double sum = 0;
    const size_t frames = s.size() / chans;
    for (size_t i = 0; i < frames; ++i)
        sum += static_cast<double>(s[i * chans + channel]) * s[i * chans + channel];
    return frames ? std::sqrt(sum / static_cast<double>(frames)) : 0.0;
}

std::filesystem::path useAudioDriver(const char* driver) {
    static int captures = 0;
    setenv("SDL_AUDIODRIVER", driver, 1);
    if (std::string(driver) != "disk")
        return {};
    const fs::path capture = fixtureDir() / ("capture_" + std::to_string(++captures) + ".raw");
    setenv("SDL_DISKAUDIOFILE", capture.string().c_str(), 1);
    return capture;
}

std::vector<int16_t> readCapture(const std::filesystem::path& capture) {
    std::ifstream in(capture, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

bool waitFor(const std::function<bool()>& cond, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace corvanel::audio::test
