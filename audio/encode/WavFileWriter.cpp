#include "audio/encode/WavFileWriter.h"

#include <cstdint>
#include <vector>

#include <sndfile.h>

namespace corvanel::audio::encode {

std::vector<std::byte> streamingWavHeader(std::uint32_t sampleRate, std::uint32_t channels) {
    std::vector<std::byte> h;
    auto text = [&h](const char* s) {
        for (int i = 0; i < 4; ++i)
            h.push_back(static_cast<std::byte>(s[i]));
    };
    auto u32 = [&h](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            h.push_back(static_cast<std::byte>((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&h](std::uint32_t v) {
        h.push_back(static_cast<std::byte>(v & 0xFF));
        h.push_back(static_cast<std::byte>((v >> 8) & 0xFF));
    };
    text("RIFF");
    u32(0xFFFFFFFFu);
    text("WAVE");
    text("fmt ");
    u32(16);
    u16(1); // PCM
    u16(channels);
    u32(sampleRate);
    u32(sampleRate * channels * 2);
    u16(channels * 2);
    u16(16);
    text("data");
    u32(0xFFFFFFFFu);
    return h;
}

struct WavFileWriter::Impl {
    SNDFILE* file = nullptr;
    int channels = 0;
    std::vector<std::byte> partial; // bytes of a frame not yet complete
    bool failed = false;            // a write already failed; later data is dropped
};

WavFileWriter::WavFileWriter() = default;
WavFileWriter::WavFileWriter(WavFileWriter&&) noexcept = default;
WavFileWriter& WavFileWriter::operator=(WavFileWriter&& other) noexcept {
    if (this != &other) {
        std::string ignored;
        close(ignored);
        impl_ = std::move(other.impl_);
    }
    return *this;
}

WavFileWriter::~WavFileWriter() {
    std::string ignored;
    close(ignored);
}

WavFileWriter WavFileWriter::create(const std::filesystem::path& path, int sampleRate, int channels,
                                    Container container, std::string& error) {
    WavFileWriter writer;
    if (sampleRate <= 0 || channels <= 0) {
        error = "invalid sample format";
        return writer;
    }
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = container == Container::Wave
                      ? SF_FORMAT_WAV | SF_FORMAT_PCM_16
                      : SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
#ifdef _WIN32
    SNDFILE* file = sf_wchar_open(path.c_str(), SFM_WRITE, &info);
#else
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
#endif
    if (file == nullptr) {
        error = sf_strerror(nullptr);
        return writer;
    }
    // Header lengths are rewritten on every write, so even a file never closed stays readable.
    sf_command(file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    writer.impl_ = std::make_unique<Impl>();
    writer.impl_->file = file;
    writer.impl_->channels = channels;
    return writer;
}

bool WavFileWriter::write(std::span<const std::byte> bytes, std::string& error) {
    if (!impl_) {
        error = "file is not open";
        return false;
    }
    if (impl_->failed) {
        error = "an earlier write failed";
        return false;
    }
    Impl& s = *impl_;
    const std::size_t frameBytes = static_cast<std::size_t>(s.channels) * sizeof(short);
    s.partial.insert(s.partial.end(), bytes.begin(), bytes.end());
    const std::size_t frames = s.partial.size() / frameBytes;
    if (frames == 0)
        return true;

    // The input is little-endian; sf_write_raw would take it as is only on such hosts, so go
    // through host shorts to stay endian-neutral.
    std::vector<short> samples(frames * static_cast<std::size_t>(s.channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto lo = static_cast<unsigned>(s.partial[2 * i]);
        const auto hi = static_cast<unsigned>(s.partial[2 * i + 1]);
        samples[i] = static_cast<short>(static_cast<std::uint16_t>(lo | (hi << 8)));
    }
    s.partial.erase(s.partial.begin(),
                    s.partial.begin() + static_cast<std::ptrdiff_t>(frames * frameBytes));

    const sf_count_t written =
        sf_writef_short(s.file, samples.data(), static_cast<sf_count_t>(frames));
    if (written != static_cast<sf_count_t>(frames) || sf_error(s.file) != SF_ERR_NO_ERROR) {
        s.failed = true;
        const char* why = sf_strerror(s.file);
        error = (why != nullptr && *why != '\0') ? why : "write failed";
        if (error == "No Error.")
            error = "write failed";
        return false;
    }
    return true;
}

bool WavFileWriter::close(std::string& error) {
    if (!impl_)
        return true;
    std::unique_ptr<Impl> s = std::move(impl_);
    const bool hadFailed = s->failed;
    sf_write_sync(s->file);
    const int rc = sf_close(s->file);
    if (rc != 0) {
        error = sf_error_number(rc);
        return false;
    }
    if (hadFailed) {
        error = "an earlier write failed";
        return false;
    }
    return true;
}

} // namespace corvanel::audio::encode
