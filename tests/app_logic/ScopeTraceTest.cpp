#include "app/logic/ScopeTrace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<uint8_t> Frames(const std::vector<std::pair<int16_t, int16_t>>& frames) {
    std::vector<uint8_t> bytes;
    for (auto [l, r] : frames)
        for (int16_t s : {l, r}) {
            const auto u = static_cast<uint16_t>(s);
            bytes.push_back(static_cast<uint8_t>(u & 0xFF));
            bytes.push_back(static_cast<uint8_t>(u >> 8));
        }
    return bytes;
}

// A block whose frame j has left j and right -j, so a point tells which frame it came from.
std::vector<uint8_t> NumberedBlock(std::size_t bytes) {
    std::vector<std::pair<int16_t, int16_t>> frames;
    for (std::size_t j = 0; j < (bytes + 3) / 4; ++j)
        frames.emplace_back(static_cast<int16_t>(j), static_cast<int16_t>(-static_cast<int>(j)));
    auto block = Frames(frames);
    block.resize(bytes);
    return block;
}

int FrameOf(const ScopePoint& p, double w) {
    return static_cast<int>(std::lround((p.x - w / 2) / (0.95 * w / 4) * 32768));
}

TEST(ScopePoints, FullLeftOnWidth71) {
    const auto points = ScopePoints(Frames({{32767, 0}}), 71);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_NEAR(points[0].x, 52.36, 0.01);
    EXPECT_NEAR(points[0].y, 35.5, 1e-6);
}

TEST(ScopePoints, PositiveRightMovesUpAndExtremesStayInTheMiddleHalf) {
    const auto p = ScopePoints(Frames({{-32768, 32767}}), 100);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_FLOAT_EQ(p[0].x, 50 - 23.75f);
    EXPECT_NEAR(p[0].y, 50 - 23.75, 1e-3);
}

TEST(ScopePoints, SameSamplesRiseAndOppositeSamplesFall) {
    const double w = 71;
    const auto same = ScopePoints(Frames({{1000, 1000}, {0, 0}, {-20000, -20000}}), w);
    const auto opposite = ScopePoints(Frames({{1000, -1000}, {0, 0}, {-20000, 20000}}), w);
    ASSERT_EQ(same.size(), 2u);
    ASSERT_EQ(opposite.size(), 2u);
    for (const auto& p : same) // lower left to upper right: x + y = w
        EXPECT_NEAR(p.x + p.y, w, 1e-4);
    for (const auto& p : opposite) // upper left to lower right: x = y
        EXPECT_NEAR(p.x, p.y, 1e-4);
    EXPECT_GT(same[0].x, w / 2);
    EXPECT_LT(same[0].y, w / 2);
}

TEST(ScopePoints, EvenFramesOnlyAndPartFrameIgnored) {
    const auto block = NumberedBlock(4 * 5 + 3);
    const auto points = ScopePoints(block, 71);
    ASSERT_EQ(points.size(), 3u);
    for (std::size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(FrameOf(points[i], 71), static_cast<int>(2 * i));
    EXPECT_TRUE(ScopePoints(std::span<const uint8_t>(block.data(), 3), 71).empty());
}

// A clock the test moves by hand.
struct ManualClock {
    int64_t now = 1000;
};

class ScopeFixture : public testing::Test {
  protected:
    ManualClock clock;
    ScopeGate gate{[this] { return clock.now; }};
    OutputTap tap{1024};
    static constexpr double w = 71;

    std::vector<ScopePoint> Paint() {
        auto p = TakeScopeTrace(gate, tap, w);
        clock.now += kScopeIntervalMs;
        return p;
    }
};

TEST_F(ScopeFixture, NothingPlayedDrawsNoTrace) {
    EXPECT_TRUE(Paint().empty());
}

TEST_F(ScopeFixture, Block4096GivesOneTraceOf512Points) {
    const auto block = NumberedBlock(4096);
    tap.Replace(block.data(), block.size());
    const auto first = Paint();
    ASSERT_EQ(first.size(), 512u);
    EXPECT_EQ(FrameOf(first.front(), w), 0);
    EXPECT_EQ(FrameOf(first.back(), w), 1022);
    EXPECT_TRUE(Paint().empty());
}

TEST_F(ScopeFixture, Block6000IsDrawnInTwoTraces) {
    const auto block = NumberedBlock(6000);
    tap.Replace(block.data(), block.size());
    EXPECT_EQ(Paint().size(), 512u);
    const auto second = Paint();
    ASSERT_EQ(second.size(), 238u);
    EXPECT_EQ(FrameOf(second.front(), w), 1024);
    EXPECT_EQ(FrameOf(second.back(), w), 1024 + 474);
    EXPECT_TRUE(Paint().empty());
}

TEST_F(ScopeFixture, GatedPaintReadsNothingAndKeepsTheTag) {
    const auto block = NumberedBlock(4096);
    tap.Replace(block.data(), block.size());
    clock.now = 5000;
    EXPECT_TRUE(gate.TryBegin());
    EXPECT_EQ(gate.Tag(), 5000);
    clock.now = 5069;
    EXPECT_TRUE(TakeScopeTrace(gate, tap, w).empty());
    EXPECT_EQ(gate.Tag(), 5000);
    clock.now = 5070; // measured from the last trace, not from the refused paint
    EXPECT_EQ(TakeScopeTrace(gate, tap, w).size(), 512u);
    EXPECT_EQ(gate.Tag(), 5070);
}

TEST_F(ScopeFixture, NewBlockDropsTheRestOfTheOldOne) {
    const auto old = NumberedBlock(6000);
    tap.Replace(old.data(), old.size());
    EXPECT_EQ(Paint().size(), 512u);
    const auto fresh = Frames({{-5, 5}, {-6, 6}, {-7, 7}});
    tap.Replace(fresh.data(), fresh.size());
    const auto next = Paint();
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(FrameOf(next[0], w), -5);
    EXPECT_EQ(FrameOf(next[1], w), -7);
    EXPECT_TRUE(Paint().empty());
}

TEST(ScopeGateStart, FirstPaintNeedsTheIntervalSinceZero) {
    int64_t now = 69;
    ScopeGate gate([&] { return now; });
    EXPECT_FALSE(gate.TryBegin());
    now = 70;
    EXPECT_TRUE(gate.TryBegin());
}

} // namespace
