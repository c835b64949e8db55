#include "tests/audio_streams/AudioFixtures.h"

#include "audio/include/bass.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace corvanel::audio::test {

namespace fs = std::filesystem;

namespace {
struct TempDir {
    fs::path path;
    TempDir() {
        std::string templ = (fs::temp_directory_path() / "corvanel-audio-XXXXXX").string();
        if (!mkdtemp(templ.data()))
            throw std::runtime_error("mkdtemp");
        path = templ;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

void put16(std::ofstream& out, uint16_t v) {
    out.write(reinterpret_cast<const char*>(&v), 2);
}
void put32(std::ofstream& out, uint32_t v) {
    out.write(reinterpret_cast<const char*>(&v), 4);
}
} // namespace

fs::path fixtureDir() {
    static TempDir dir;
    return dir.path;
}

std::vector<int16_t> noise(size_t frames, unsigned chans, uint32_t seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> dist(-32768, 32767);
    std::vector<int16_t> out(frames * chans);
    for (auto& s : out)
        s = static_cast<int16_t>(dist(gen));
    return out;
}

std::vector<int16_t> stereoSines(size_t frames, uint32_t rate, double f1, double f2) {
    std::vector<int16_t> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        out[2 * i] = static_cast<int16_t>(std::lround(16384.0 * std::sin(2 * M_PI * f1 * t)));
        out[2 * i + 1] = static_cast<int16_t>(std::lround(16384.0 * std::sin(2 * M_PI * f2 * t)));
    }
    return out;
}

fs::path writeWav(const std::string& name, const std::vector<int16_t>& samples, unsigned chans,
                  uint32_t rate, WavSample type) {
    const fs::path path = fixtureDir() / name;
    std::ofstream out(path, std::ios::binary);
    const unsigned bytes = type == WavSample::U8    ? 1
                           : type == WavSample::S16 ? 2
                           : type == WavSample::S24 ? 3
                                                    : 4;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * bytes);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, type == WavSample::F32 ? 3 : 1);
    put16(out, static_cast<uint16_t>(chans));
    put32(out, rate);
    put32(out, rate * chans * bytes);
    put16(out, static_cast<uint16_t>(chans * bytes));
    put16(out, static_cast<uint16_t>(bytes * 8));
    out.write("data", 4);
    put32(out, dataBytes);
    for (int16_t s : samples) {
        switch (type) {
        case WavSample::U8:
            out.put(static_cast<char>((s >> 8) + 128));
            break;
        case WavSample::S16:
            put16(out, static_cast<uint16_t>(s));
            break;
        case WavSample::S24: {
            const int32_t v = static_cast<int32_t>(s) * 256;
            out.put(static_cast<char>(v & 0xFF));
            out.put(static_cast<char>((v >> 8) & 0xFF));
            out.put(static_cast<char>((v >> 16) & 0xFF));
            break;
        }
        case WavSample::F32: {
            const float f = static_cast<float>(s) / 32768.0f;
            out.write(reinterpret_cast<const char*>(&f), 4);
            break;
        }
        }
    }
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
