#pragma once
// The stereo scope's trace: X-Y points from the latest output block, and the gate that keeps
// two traces at least one timer interval apart. Coordinates in the paint box's units, origin
// top left, y downwards; the box is w x w. Clock in milliseconds. UI thread.

#include "engine/OutputTap.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

inline constexpr uint32_t kScopeBackgroundColor = 0xFF000000; // ARGB
inline constexpr uint32_t kScopeDiagonalColor = 0xFF008000;
inline constexpr uint32_t kScopeTraceColor = 0xFF00FF00;
inline constexpr int kScopeIntervalMs = 70;          // Timer1's interval and the trace spacing
inline constexpr std::size_t kScopeReadBytes = 4096; // read per trace: 1024 frames

struct ScopePoint {
    float x = 0;
    float y = 0;
};

// Frames 0, 2, 4, ... of a 16-bit LE stereo block (a trailing part-frame ignored):
// x = L/32768 * 0.95 * w/4 + w/2, y = -R/32768 * 0.95 * w/4 + w/2, in double, stored as float.
std::vector<ScopePoint> ScopePoints(std::span<const uint8_t> block, double w);

// Milliseconds of a steady clock, truncated.
int64_t SteadyClockMs();

// Lets a trace through when at least the interval has passed since the last one let through.
// The tag (0 at first) is the time of that last trace; a refused call leaves it alone.
class ScopeGate {
  public:
    explicit ScopeGate(std::function<int64_t()> clockMs = SteadyClockMs,
                       int64_t intervalMs = kScopeIntervalMs);
    bool TryBegin();
    int64_t Tag() const { return tag_; }

  private:
    std::function<int64_t()> clockMs_;
    int64_t intervalMs_;
    int64_t tag_ = 0;
};

// One paint's trace: empty when the gate refuses or the tap has nothing left; otherwise the
// points of the next (at most 4096) bytes of the tap. The tap's lock is held only for the copy.
std::vector<ScopePoint> TakeScopeTrace(ScopeGate& gate, OutputTap& tap, double w);
