#include "app/logic/ScopeTrace.h"

#include <array>
#include <chrono>
#include <utility>

namespace {
int16_t SampleAt(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}
} // namespace

std::vector<ScopePoint> ScopePoints(std::span<const uint8_t> block, double w) {
    const std::size_t frames = block.size() / 4;
    std::vector<ScopePoint> points;
    points.reserve((frames + 1) / 2);
    const double scale = 0.95 * w / 4;
    const double centre = w / 2;
    for (std::size_t j = 0; j < frames; j += 2) {
        const uint8_t* frame = block.data() + j * 4;
        const double left = SampleAt(frame) / 32768.0;
        const double right = SampleAt(frame + 2) / 32768.0;
        points.push_back({static_cast<float>(left * scale + centre),
                          static_cast<float>((0 - right) * scale + centre)});
    }
    return points;
}

int64_t SteadyClockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

ScopeGate::ScopeGate(std::function<int64_t()> clockMs, int64_t intervalMs)
    : clockMs_(std::move(clockMs)), intervalMs_(intervalMs) {}

bool ScopeGate::TryBegin() {
    const int64_t now = clockMs_();
    if (now - tag_ < intervalMs_)
        return false;
    tag_ = now;
    return true;
}

std::vector<ScopePoint> TakeScopeTrace(ScopeGate& gate, OutputTap& tap, double w) {
    if (!gate.TryBegin())
        return {};
    std::array<uint8_t, kScopeReadBytes> buffer;
    const std::size_t n = tap.ReadUpTo(buffer.data(), buffer.size());
    return ScopePoints(std::span<const uint8_t>(buffer.data(), n), w);
}
