// The reduction processor: framing, destinations, the per-bin decision seen through real
// tones, the conversions, and failures inside a call.
#include "dsp/ReduceOffline.h"
#include "dsp/ReduceProc.h"
#include "tests/dsp_reduce/CountingLocks.h"
#include "tests/dsp_reduce/FailingAllocation.h"
#include "tests/dsp_reduce/LiteralReduce.h"
#include "tests/dsp_reduce/ReduceTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <new>

namespace corvanel::reducetest {
namespace {

constexpr int kN = 8192;
constexpr std::uint32_t kFrameBytes = 4 * kN;

bool AllZero(const Pcm& pcm) {
    return std::all_of(pcm.begin(), pcm.end(), [](std::uint8_t b) { return b == 0; });
}

Pcm Slice(const Pcm& pcm, std::size_t from, std::size_t length) {
    return Pcm(pcm.begin() + static_cast<std::ptrdiff_t>(from),
               pcm.begin() + static_cast<std::ptrdiff_t>(from + length));
}

TEST(ReduceFraming, ShortFirstBlockIsQueuedAndSilenced) {
    CapturedProcessor cp(kN);
    const Pcm block = MusicLike(kN - 1, 1);
    EXPECT_TRUE(AllZero(cp.Call(block)));
    EXPECT_TRUE(cp.playback.empty());
    EXPECT_EQ(cp.processor.SoundQueue().TrueLength(), static_cast<std::int32_t>(block.size()));
}

TEST(ReduceFraming, ExactlyOneFrameSendsThreeQuartersAndKeepsOneQueued) {
    CapturedProcessor cp(kN);
    const Pcm input = MusicLike(3 * kN, 2);
    EXPECT_TRUE(AllZero(cp.Call(Slice(input, 0, kFrameBytes))));
    EXPECT_EQ(cp.playback.size(), 3u * kN);
    EXPECT_EQ(cp.processor.SoundQueue().TrueLength(), kN);

    // The next frame waits for a whole frame's worth queued again, and not a byte longer.
    cp.Call(Slice(input, kFrameBytes, 3 * kN - 4));
    EXPECT_EQ(cp.playback.size(), 3u * kN);
    cp.Call(Slice(input, kFrameBytes + 3 * kN - 4, 4));
    EXPECT_EQ(cp.playback.size(), 6u * kN);
    EXPECT_EQ(cp.processor.SoundQueue().TrueLength(), kN);
}

// The level test never passing, nothing is changed: the output is the input one quarter
// frame late, after a quarter of silence faded in from the empty tail.
TEST(ReduceFraming, ZeroLevelToleranceGivesTheInputQuarterFrameLate) {
    CapturedProcessor cp(kN);
    cp.params.VRAParam = 0.0;
    const Pcm input = MusicLike(6 * kN, 3, 2);
    cp.Feed(input, 17640);
    ASSERT_GE(cp.playback.size(), 4u * kN);
    EXPECT_TRUE(AllZero(Slice(cp.playback, 0, kN)));
    const Pcm late = Slice(cp.playback, kN, cp.playback.size() - kN);
    EXPECT_EQ(late, Slice(input, 0, late.size()));
}

TEST(ReduceFraming, MatchesTheLiteralAlgorithmWithinOneStep) {
    struct Case {
        double pan, a, p, band1, band2;
        bool inverse;
    };
    const Case cases[] = {{0, 70, 15, 200, 16500, false},
                          {7, 40, 30, 16500, 300, false},
                          {-13, 70, 5, 100, 8000, true},
                          {1, 70, 60, 20, 20000, true},
                          {0, 70, -20, 200, 16500, false}};
    const Pcm input = MusicLike(20 * kN, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "pan " << c.pan << " inverse " << c.inverse);
        CapturedProcessor cp(kN);
        cp.params.VRPanPot = c.pan;
        cp.params.VRAParam = c.a;
        cp.params.VRPParam = c.p;
        cp.params.VRBand1 = c.band1;
        cp.params.VRBand2 = c.band2;
        cp.params.VRInverse = c.inverse;
        cp.processor.SetSourceRate(48000);
        cp.Feed(input, 88200);
        const Pcm literal = LiteralReduce(input, cp.params, 48000.0);
        ASSERT_GE(cp.playback.size(), 12u * kN);
        const std::size_t common = std::min(cp.playback.size(), literal.size());
        int worst = 0;
        std::size_t changed = 0;
        for (std::size_t pair = kN / 4; pair < common / 4; ++pair)
            for (int ch = 0; ch < 2; ++ch) {
                worst = std::max(
                    worst, std::abs(SampleAt(cp.playback, pair, ch) - SampleAt(literal, pair, ch)));
                changed += SampleAt(literal, pair, ch) != SampleAt(input, pair - kN / 4, ch);
            }
        EXPECT_LE(worst, 1);
        EXPECT_GT(changed, common / 8); // the reduction did act on this material
    }
}

// Every frame length the processor accepts up to 32768, both modes, the parameter sets
// above: within one step of the literal algorithm, and from 128 on at most 0.01 % of the
// samples one step off. Below 128 (no control offers such lengths) a judged frame puts many
// samples on exact halves, where the packed transform's last bit breaks the tie its own way.
class ReduceEveryLength : public ::testing::TestWithParam<int> {};

TEST_P(ReduceEveryLength, MatchesTheLiteralAlgorithm) {
    const int n = GetParam();
    struct Case {
        double pan, a, p, band1, band2;
        bool inverse;
    };
    const Case cases[] = {{0, 70, 15, 200, 16500, false},
                          {7, 40, 30, 16500, 300, false},
                          {-13, 70, 5, 100, 8000, true},
                          {1, 70, 60, 20, 20000, true},
                          {0, 70, -20, 200, 16500, false}};
    const std::size_t pairs = std::max<std::size_t>(20u * static_cast<std::size_t>(n), 1u << 16);
    const Pcm input = MusicLike(pairs, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "pan " << c.pan << " inverse " << c.inverse);
        CapturedProcessor cp(n);
        cp.params.VRPanPot = c.pan;
        cp.params.VRAParam = c.a;
        cp.params.VRPParam = c.p;
        cp.params.VRBand1 = c.band1;
        cp.params.VRBand2 = c.band2;
        cp.params.VRInverse = c.inverse;
        cp.processor.SetSourceRate(48000);
        cp.Feed(input, 88200);
        const Pcm literal = LiteralReduce(input, cp.params, 48000.0);
        ASSERT_GE(cp.playback.size(), input.size() / 2);
        const std::size_t common = std::min(cp.playback.size(), literal.size());
        int worst = 0;
        std::size_t offByOne = 0, changed = 0, samples = 0;
        for (std::size_t pair = static_cast<std::size_t>(n) / 4; pair < common / 4; ++pair)
            for (int ch = 0; ch < 2; ++ch) {
                const int d =
                    std::abs(SampleAt(cp.playback, pair, ch) - SampleAt(literal, pair, ch));
                worst = std::max(worst, d);
                offByOne += d != 0;
                changed += SampleAt(literal, pair, ch) != SampleAt(input, pair - n / 4, ch);
                ++samples;
            }
        EXPECT_LE(worst, 1);
        if (n >= 128) {
            EXPECT_LE(offByOne, samples / 10000);
        }
        EXPECT_GT(changed, samples / 16); // the reduction did act on this material
    }
}

INSTANTIATE_TEST_SUITE_P(FrameLengths, ReduceEveryLength,
                         ::testing::Values(8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 8192,
                                           16384, 32768),
                         [](const auto& row) { return "N" + std::to_string(row.param); });

// The instruction sets run the same operations lane by lane: the same bytes out.
TEST(ReduceFraming, EveryInstructionSetGivesTheSameBytes) {
    std::vector<SimdPath> paths;
    for (SimdPath p : {SimdPath::Avx2, SimdPath::Avx512})
        if (SimdPathAvailable(p))
            paths.push_back(p);
    if (paths.empty())
        GTEST_SKIP() << "only the baseline path runs on this processor";
    const Pcm input = MusicLike(12 * 4096, 9);
    for (int n : {8, 64, 4096}) {
        auto run = [&](SimdPath path) {
            ReduceParams params;
            params.VREnable = true;
            params.VRFFTPoint = n;
            params.VRPParam = 40;
            ReduceProcessor processor(params, path);
            Pcm out;
            const ReduceSink sink = [&](const std::uint8_t* d, std::uint32_t len) {
                out.insert(out.end(), d, d + len);
            };
            Pcm copy = input;
            processor.ProcessTo(sink, copy.data(), static_cast<std::uint32_t>(copy.size()));
            return out;
        };
        const Pcm baseline = run(SimdPath::Baseline);
        ASSERT_FALSE(baseline.empty());
        for (SimdPath p : paths)
            EXPECT_EQ(run(p), baseline) << "n " << n << " path " << static_cast<int>(p);
    }
}

TEST(ReduceDestinations, HandleChoosesTheSink) {
    struct Case {
        std::uint32_t handle;
        bool enabled;
    };
    for (const Case c : {Case{0, false}, Case{0, true}, Case{1, false}, Case{1, true},
                         Case{0xFFFFFFFFu, false}, Case{0xFFFFFFFFu, true}}) {
        SCOPED_TRACE(::testing::Message() << "handle " << c.handle << " on " << c.enabled);
        CapturedProcessor cp(kN, c.enabled);
        const Pcm block = MusicLike(kN, 5);
        EXPECT_TRUE(AllZero(cp.Call(block, c.handle)));
        const Pcm& chosen = c.handle == 0 ? cp.encoder : cp.playback;
        const Pcm& other = c.handle == 0 ? cp.playback : cp.encoder;
        EXPECT_EQ(chosen.size(), c.enabled ? 3u * kN : block.size());
        if (!c.enabled) {
            EXPECT_EQ(chosen, block);
        }
        EXPECT_TRUE(other.empty());
    }
}

TEST(ReduceDestinations, SwitchingOffDropsQueuedInputAndPassesBlocksThrough) {
    CapturedProcessor cp(kN);
    const Pcm input = MusicLike(4 * kN, 6);
    cp.Call(Slice(input, 0, 2 * kN));
    ASSERT_EQ(cp.processor.SoundQueue().TrueLength(), 2 * kN);

    cp.params.VREnable = false;
    const Pcm block = Slice(input, 2 * kN, 1000);
    EXPECT_TRUE(AllZero(cp.Call(block)));
    EXPECT_EQ(cp.playback, block);
    EXPECT_EQ(cp.processor.SoundQueue().Count(), 0);

    // Back on, the dropped input does not count towards the next frame.
    cp.params.VREnable = true;
    cp.Call(Slice(input, 0, kFrameBytes - 4));
    EXPECT_EQ(cp.playback.size(), block.size());
    cp.Call(Slice(input, 0, 4));
    EXPECT_EQ(cp.playback.size(), block.size() + 3 * kN);
}

// Bins built as real tones on a bin centre; the output is measured once the first frame's
// fade-in is over. Amplitudes are fractions of full scale, expected ones too.
struct BinCase {
    const char* name;
    BinTone tone;
    double pan, a, p, band1, band2;
    double expectL, expectR;
};

void PrintTo(const BinCase& c, std::ostream* os) {
    *os << c.name;
}

class ReduceBins : public ::testing::TestWithParam<BinCase> {};

constexpr int kBin = 400; // 2153 Hz at 44100 Hz
const double kBinHz = kBin * 44100.0 / kN;

TEST_P(ReduceBins, ToneComesOutAsDecided) {
    const BinCase& c = GetParam();
    CapturedProcessor cp(kN);
    cp.params.VRPanPot = c.pan;
    cp.params.VRAParam = c.a;
    cp.params.VRPParam = c.p;
    cp.params.VRBand1 = c.band1;
    cp.params.VRBand2 = c.band2;
    cp.Feed(Tones(5 * kN, kN, {c.tone}), 88200);
    ASSERT_GE(cp.playback.size(), 4u * 2 * kN);
    EXPECT_NEAR(ToneAmplitude(cp.playback, 0, kN, kN, c.tone.k), c.expectL, 1e-4);
    EXPECT_NEAR(ToneAmplitude(cp.playback, 1, kN, kN, c.tone.k), c.expectR, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Decision, ReduceBins,
    ::testing::Values(
        // Left twice as loud (6 dB): the common part goes, a quarter of the left stays.
        BinCase{"Louder_left", {kBin, 0.4, 0.2}, 0, 70, 15, 200, 16500, 0.1, 0},
        // Pan +10 weighs the left 3:1; AL 0.316, AR 1 (-10 dB) is judged: right (1-0.948)/4.
        BinCase{"Pan_weights", {kBin, 0.316 * 0.5, 0.5}, 10, 70, 15, 200, 16500, 0, 0.013 * 0.5},
        BinCase{"Equal_centre", {kBin, 0.3, 0.3}, 0, 70, 15, 200, 16500, 0, 0},
        BinCase{"Level_test_off", {kBin, 0.3, 0.3}, 0, 0, 15, 200, 16500, 0.3, 0.3},
        BinCase{"Level_beyond_tolerance", {kBin, 0.4, 0.2}, 0, 6, 15, 200, 16500, 0.4, 0.2},
        // Signed phase difference: left trailing by 170° passes even a 1° limit...
        BinCase{"Phase_minus_170", {kBin, 0.3, 0.3, -170, 0}, 0, 70, 1, 200, 16500, 0, 0},
        // ... left leading by 170° fails even the widest.
        BinCase{"Phase_plus_170", {kBin, 0.3, 0.3, 170, 0}, 0, 70, 60, 200, 16500, 0.3, 0.3},
        BinCase{"Phase_plus_10_within_15", {kBin, 0.3, 0.3, 10, 0}, 0, 70, 15, 200, 16500, 0, 0},
        BinCase{
            "Phase_plus_20_beyond_15", {kBin, 0.3, 0.3, 20, 0}, 0, 70, 15, 200, 16500, 0.3, 0.3},
        // A silent right channel puts the level difference near -2000 dB: never judged.
        BinCase{"Silent_right_pan_0", {kBin, 0.3, 0, -90, 0}, 0, 70, 15, 200, 16500, 0.3, 0},
        BinCase{"Silent_right_pan_20", {kBin, 0.3, 0, -90, 0}, 20, 70, 15, 200, 16500, 0.3, 0},
        BinCase{"Silent_right_pan_m20", {kBin, 0.3, 0, -90, 0}, -20, 70, 15, 200, 16500, 0.3, 0},
        // Band edges are strict and may come in either order.
        BinCase{"At_lower_edge", {kBin, 0.3, 0.3}, 0, 70, 15, kBinHz, 16500, 0.3, 0.3},
        BinCase{"At_upper_edge", {kBin, 0.3, 0.3}, 0, 70, 15, 100, kBinHz, 0.3, 0.3},
        BinCase{"Just_inside", {kBin, 0.3, 0.3}, 0, 70, 15, kBinHz - 0.01, kBinHz + 0.01, 0, 0},
        BinCase{"Edges_swapped", {kBin, 0.3, 0.3}, 0, 70, 15, kBinHz + 0.01, kBinHz - 0.01, 0, 0},
        BinCase{"Edges_swapped_at_edge", {kBin, 0.3, 0.3}, 0, 70, 15, 16500, kBinHz, 0.3, 0.3}),
    [](const ::testing::TestParamInfo<BinCase>& param) { return std::string(param.param.name); });

TEST(ReduceModes, IdenticalChannelsLoseTheBandAndInverseKeepsIt) {
    const int bins[] = {20, 400, 1500, 3500}; // 108 Hz and 18.8 kHz lie outside 200 .. 16500
    const bool inBand[] = {false, true, true, false};
    const Pcm input =
        Tones(6 * kN, kN,
              {{bins[0], 0.2, 0.2}, {bins[1], 0.2, 0.2}, {bins[2], 0.2, 0.2}, {bins[3], 0.2, 0.2}});
    for (bool inverse : {false, true}) {
        CapturedProcessor cp(kN);
        cp.params.VRInverse = inverse;
        cp.Feed(input, 4096);
        for (int t = 0; t < 4; ++t)
            for (int ch = 0; ch < 2; ++ch)
                EXPECT_NEAR(ToneAmplitude(cp.playback, ch, kN, kN, bins[t]),
                            inBand[t] == inverse ? 0.2 : 0.0, 1e-4)
                    << "bin " << bins[t] << " inverse " << inverse;
    }
}

// Removing an in-band third harmonic from a tone that it kept below full scale pushes the
// tone past full scale: the samples must stop at the ends, not wrap round.
TEST(ReduceModes, OverFullScaleIsClampedNotWrapped) {
    const int k = 64; // 344 Hz; its third harmonic at 1034 Hz lies in the band 700 .. 16500
    std::vector<double> sig(6 * kN);
    for (std::size_t i = 0; i < sig.size(); ++i) {
        const double w = 2 * std::numbers::pi * k * static_cast<double>(i % kN) / kN;
        sig[i] = 1.1 * (std::sin(w) + std::sin(3 * w) / 6);
    }
    CapturedProcessor cp(kN);
    cp.params.VRBand1 = 700.0;
    cp.Feed(Interleave(sig, sig), 88200);
    ASSERT_GE(cp.playback.size(), 16u * kN);
    int top = 0, bottom = 0, worst = 0;
    for (std::size_t pair = kN; pair < 4 * kN; ++pair) {
        const double w = 2 * std::numbers::pi * k * static_cast<double>((pair - kN / 4) % kN) / kN;
        const int expected = ToSample(1.1 * std::sin(w));
        for (int ch = 0; ch < 2; ++ch) {
            const int s = SampleAt(cp.playback, pair, ch);
            worst = std::max(worst, std::abs(s - expected));
            top += s == 32767;
            bottom += s == -32768;
        }
    }
    EXPECT_LE(worst, 2);
    EXPECT_GT(top, 0);
    EXPECT_GT(bottom, 0);
}

// The program's instance behind the callback and the queue names, on the program's
// parameters; a block too short for a frame shows where the input went.
TEST(ReduceDestinations, CallbackDrivesTheProgramInstance) {
    ReduceProcessor& program = TheReduceProcessor();
    EXPECT_EQ(&SoundQueue, &program.SoundQueue());
    EXPECT_EQ(&HistoryQueue, &program.HistoryQueue());
    EXPECT_EQ(&TailQueue, &program.TailQueue());
    EXPECT_EQ(&program.Params(), &VR);

    Pcm encoded;
    program.SetEncoderPassThroughPause(std::chrono::milliseconds(0));
    program.SetEncoderSink([&](const std::uint8_t* d, std::uint32_t len) {
        encoded.insert(encoded.end(), d, d + len);
    });
    void (*callback)(std::uint32_t, std::uint32_t, void*, std::uint32_t, void*) = ReduceProc;
    Pcm block = MusicLike(100, 10);
    const Pcm original = block;
    VREnable = false;
    callback(0, 7, block.data(), static_cast<std::uint32_t>(block.size()), &SoundQueue);
    EXPECT_EQ(encoded, original);
    EXPECT_TRUE(AllZero(block));

    VREnable = true;
    block = original;
    callback(0, 7, block.data(), static_cast<std::uint32_t>(block.size()), &SoundQueue);
    EXPECT_EQ(SoundQueue.TrueLength(), static_cast<std::int32_t>(original.size()));
    VREnable = false;
    program.SetEncoderSink({});
    program.RequestEmptyQueues();
}

// Failures inside a call.

TEST(ReduceFailures, ThrowingSinkLosesOnlyItsFrame) {
    const Pcm input = MusicLike(12 * kN, 7);
    CapturedProcessor reference(kN);
    reference.Feed(input, kN);

    CapturedProcessor cp(kN);
    int sends = 0;
    cp.processor.SetPlaybackSink([&](const std::uint8_t* d, std::uint32_t len) {
        if (++sends == 3)
            throw std::bad_alloc();
        cp.playback.insert(cp.playback.end(), d, d + len);
    });
    for (std::size_t at = 0; at < input.size(); at += kN)
        EXPECT_TRUE(AllZero(cp.Call(Slice(input, at, kN))));
    Pcm expected = reference.playback;
    expected.erase(expected.begin() + 6 * kN, expected.begin() + 9 * kN);
    EXPECT_EQ(cp.playback, expected);
}

// A length met without preparation makes its storage in the first call that meets it (the
// queues' room included, so nothing is allocated inside a frame). A failure there: silence
// for that block, which is dropped with nothing queued, and the next call meets the length
// afresh. The last allocation of a frame's size in the call is made to fail.
TEST(ReduceFailures, FaultMakingALengthsStorageDropsOnlyThatBlock) {
    constexpr int kLong = 32768;
    constexpr std::uint32_t kLongFrameBytes = 4 * kLong;
    const Pcm input = MusicLike(8 * kLong, 8);
    const Pcm first = Slice(input, 0, kLongFrameBytes);
    const auto unprepared = [] {
        auto cp = std::make_unique<CapturedProcessor>(0);
        cp->params.VRFFTPoint = kLong;
        return cp;
    };

    constexpr int kPlenty = 1000;
    auto probe = unprepared();
    gFaultSize = kLongFrameBytes;
    gAllocationsUntilFault = kPlenty;
    probe->Call(first);
    const int frameSized = kPlenty - gAllocationsUntilFault;
    ASSERT_GT(frameSized, 1) << "the call makes the length's storage";
    ASSERT_EQ(probe->playback.size(), 3u * kLong);

    auto cp = unprepared();
    gAllocationsUntilFault = frameSized - 1;
    EXPECT_TRUE(AllZero(cp->Call(first)));
    gFaultSize = 0;
    EXPECT_TRUE(cp->playback.empty());
    EXPECT_EQ(cp->processor.SoundQueue().Count(), 0);
    EXPECT_EQ(cp->processor.HistoryQueue().Count(), 0);
    for (std::size_t at = kLongFrameBytes; at < input.size(); at += kLong)
        EXPECT_TRUE(AllZero(cp->Call(Slice(input, at, kLong))));

    CapturedProcessor fresh(kLong);
    fresh.Feed(Slice(input, kLongFrameBytes, input.size() - kLongFrameBytes), kLong);
    ASSERT_FALSE(fresh.playback.empty());
    EXPECT_EQ(cp->playback, fresh.playback);
}

// Once a prepared length has run a frame or two, a call neither allocates nor frees nor
// takes a lock: the audio thread must not wait on the allocator or on another thread.
// Playback-sized and export-sized blocks, both modes, the reduction switched off and on
// again, a song's end pushed out with zeros, and the UI thread's requests to empty the queues.
TEST(ReduceRealTime, SteadyStateAllocatesNothingAndTakesNoLock) {
    if (LockCountingAvailable()) {
        // The count sees a lock taken the ordinary way.
        std::mutex probe;
        StartCountingLocks();
        probe.lock();
        probe.unlock();
        ASSERT_EQ(StopCountingLocks(), 1u);
    }
    struct Case {
        std::int32_t n;
        std::size_t blockBytes;
        bool inverse;
    };
    const Case cases[] = {
        {8192, 1764, false}, {16384, 88200, true}, {32768, 4412, false}, {64, 256, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "n " << c.n << " block " << c.blockBytes);
        ReduceParams params;
        params.VREnable = true;
        params.VRInverse = c.inverse;
        params.VRFFTPoint = 4096;
        ReduceProcessor processor(params);
        processor.ChangeFrameSize(c.n); // the UI thread's part
        std::size_t sent = 0;
        const ReduceSink sink = [&](const std::uint8_t*, std::uint32_t len) { sent += len; };
        const std::size_t frameBytes = 4 * static_cast<std::size_t>(c.n);
        const Pcm input = MusicLike(12 * frameBytes / 4 + 8 * c.blockBytes, 12);
        Pcm block(c.blockBytes), zeros(2 * frameBytes);
        std::size_t at = 0;
        const auto next = [&] {
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(at), c.blockBytes,
                        block.begin());
            at += c.blockBytes;
            processor.ProcessTo(sink, block.data(), static_cast<std::uint32_t>(block.size()));
        };
        while (sent < 2 * frameBytes)
            next(); // warm-up: the first frames

        const std::size_t allocations = gAllocations.load(), releases = gReleases.load();
        const std::size_t sentBefore = sent;
        StartCountingLocks();
        while (at + c.blockBytes <= 10 * frameBytes)
            next();
        params.VREnable = false;
        next();
        params.VREnable = true;
        processor.RequestEmptyOverlap();
        next();
        while (at + c.blockBytes <= input.size())
            next();
        processor.ProcessTo(sink, zeros.data(), static_cast<std::uint32_t>(zeros.size()));
        const std::size_t locks = StopCountingLocks();
        EXPECT_EQ(gAllocations.load() - allocations, 0u);
        EXPECT_EQ(gReleases.load() - releases, 0u);
        if (LockCountingAvailable()) {
            EXPECT_EQ(locks, 0u);
        }
        EXPECT_GE(sent - sentBefore, 6 * frameBytes); // frames did run
    }
}

TEST(ReduceFailures, UnusableFrameSizeSilencesWithoutQueueing) {
    for (std::int32_t n : {0, -8192, 4, 6000, 1 << 23}) {
        CapturedProcessor cp(n);
        const Pcm block = MusicLike(1000, 9);
        EXPECT_TRUE(AllZero(cp.Call(block)));
        EXPECT_TRUE(cp.playback.empty());
        EXPECT_EQ(cp.processor.SoundQueue().TrueLength(), 0) << n;
    }
}

} // namespace
} // namespace corvanel::reducetest
