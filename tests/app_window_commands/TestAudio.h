#pragma once
// A short stereo WAV written for a test: 16-bit PCM at 44100 Hz, a tone on the left and a
// different one on the right.
#include <QString>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

inline QString WriteStereoWav(const QTemporaryDir& dir, const QString& name, double seconds) {
    constexpr int rate = 44100;
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    std::vector<std::int16_t> samples(std::size_t(frames) * 2);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        samples[2 * i] = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * t));
        samples[2 * i + 1] = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 660 * t));
    }
    const QString path = dir.filePath(name);
    std::ofstream out(path.toStdString(), std::ios::binary);
    const auto put32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto put16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const std::uint32_t dataBytes = frames * 4;
    out.write("RIFF", 4);
    put32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1); // PCM
    put16(2);
    put32(rate);
    put32(rate * 4);
    put16(4);
    put16(16);
    out.write("data", 4);
    put32(dataBytes);
    out.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(dataBytes));
    return path;
}
