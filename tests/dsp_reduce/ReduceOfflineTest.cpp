// Whole buffers through a processor: independence of the block size, and the aligned export.
#include "dsp/ReduceOffline.h"
#include "tests/dsp_reduce/ReduceTestSupport.h"

#include <gtest/gtest.h>

namespace corvanel::reducetest {
namespace {

constexpr int kN = 8192;

TEST(ReduceOffline, OutputDoesNotDependOnTheBlockSize) {
    const Pcm input = MusicLike(6 * kN + 1234, 21);
    ReduceParams params;
    params.VREnable = true;
    params.VRFFTPoint = kN;
    params.VRPanPot = 3.0;

    Pcm byBlock[4];
    const std::size_t sizes[] = {88200, 300, 1212, 4}; // 300 and 1212: odd multiples of 4
    for (int i = 0; i < 4; ++i) {
        ReduceProcessor processor(params);
        byBlock[i] = ReduceOffline(processor, input, sizes[i]);
    }
    for (int i = 1; i < 4; ++i) {
        SCOPED_TRACE(sizes[i]);
        // Only the strict loop condition at the very end may leave one frame unprocessed.
        const std::size_t longer = std::max(byBlock[0].size(), byBlock[i].size());
        const std::size_t shorter = std::min(byBlock[0].size(), byBlock[i].size());
        EXPECT_TRUE(longer == shorter || longer == shorter + 3 * kN);
        ASSERT_GE(shorter, 12u * kN);
        EXPECT_TRUE(std::equal(byBlock[i].begin(),
                               byBlock[i].begin() + static_cast<std::ptrdiff_t>(shorter),
                               byBlock[0].begin()));
    }
}

struct AlignedCase {
    bool enabled;
    std::size_t pairs, blockBytes;
};

void PrintTo(const AlignedCase& c, std::ostream* os) {
    *os << (c.enabled ? "on, " : "off, ") << c.pairs << " pairs, blocks of " << c.blockBytes;
}

class ReduceAligned : public ::testing::TestWithParam<AlignedCase> {};

// With nothing judged the reduction gives its input back, so an aligned export of it must
// be the input itself, to the byte, start and end included. (Held pairs leave no component
// at half the sampling rate, which synthesis does not restore; even lengths keep it so at
// the end too.)
TEST_P(ReduceAligned, NothingJudgedGivesTheInputBackExactly) {
    const AlignedCase c = GetParam();
    const Pcm input = MusicLike(c.pairs, 22, 2);
    ReduceParams params;
    params.VREnable = c.enabled;
    params.VRFFTPoint = kN;
    params.VRAParam = 0.0;
    ReduceProcessor processor(params);
    // Left over from an earlier run: must not leak into this one.
    processor.ProcessTo({}, Pcm(MusicLike(3 * kN, 23)).data(), 12 * kN);

    Pcm out;
    AlignedReducer aligned(processor, [&](const std::uint8_t* d, std::uint32_t len) {
        out.insert(out.end(), d, d + len);
    });
    for (std::size_t at = 0; at < input.size(); at += c.blockBytes)
        aligned.Feed(std::span(input).subspan(at, std::min(c.blockBytes, input.size() - at)));
    aligned.Finish();
    EXPECT_EQ(aligned.BytesOut(), static_cast<std::int64_t>(input.size()));
    EXPECT_EQ(out, input);
}

INSTANTIATE_TEST_SUITE_P(Runs, ReduceAligned,
                         ::testing::Values(AlignedCase{true, 10 * kN + 78, 88200},
                                           AlignedCase{true, 10 * kN + 78, 4 * 333},
                                           AlignedCase{true, 3 * kN, 88200},
                                           AlignedCase{true, 100, 88200},
                                           AlignedCase{true, 0, 88200},
                                           AlignedCase{false, 5 * kN + 3, 4 * 1001}),
                         [](const auto& row) {
                             const AlignedCase& c = row.param;
                             return std::string(c.enabled ? "On_" : "Off_") +
                                    std::to_string(c.pairs) + "Pairs_InBlocksOf" +
                                    std::to_string(c.blockBytes);
                         });

TEST(ReduceAligned, ReducedExportLinesUpWithThePlainRun) {
    const Pcm input = MusicLike(9 * kN, 24);
    ReduceParams params;
    params.VREnable = true;
    params.VRFFTPoint = kN;
    ReduceProcessor plain(params), forExport(params);
    const Pcm heard = ReduceOffline(plain, input, 88200);

    Pcm out;
    AlignedReducer aligned(forExport, [&](const std::uint8_t* d, std::uint32_t len) {
        out.insert(out.end(), d, d + len);
    });
    aligned.Feed(input);
    aligned.Finish();
    ASSERT_EQ(out.size(), input.size());
    ASSERT_GT(heard.size(), 4u * kN);
    // The same reduction, a quarter frame earlier; the end goes on where the plain run stops.
    EXPECT_TRUE(std::equal(heard.begin() + kN, heard.end(), out.begin()));
    EXPECT_GT(std::count_if(out.end() - 4 * kN, out.end(), [](std::uint8_t b) { return b != 0; }),
              0);
}

} // namespace
} // namespace corvanel::reducetest
