// The value rules of the reduction controls, with the examples the controls are known by.
#include "dsp/ReduceParams.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvanel {
namespace {

TEST(ReduceParamsRules, BandEdgeAndLabel) {
    struct Case {
        float bar;
        double edge;
        const char* label;
    };
    const Case cases[] = {
        {1.0f, 10.0, "10 Hz"},
        {2.5f, 316.22775268554688, "320 Hz"},
        {static_cast<float>(std::log10(200.0)), 199.99996948242188, "200 Hz"},
        {static_cast<float>(std::log10(16500.0)), 16500.001953125, "16500 Hz"},
        {4.380210876464844f, 23999.98046875, "24000 Hz"}, // Freqbar1's maximum
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BandEdgeFromBar(c.bar), c.edge) << c.bar;
        EXPECT_EQ(BandLabelText(BandEdgeFromBar(c.bar)), c.label) << c.bar;
    }
}

TEST(ReduceParamsRules, LabelRoundsHalvesToEven) {
    EXPECT_EQ(BandLabelText(325.0), "320 Hz");
    EXPECT_EQ(BandLabelText(335.0), "340 Hz");
    EXPECT_EQ(BandLabelText(23999.98), "24000 Hz");
    EXPECT_EQ(BandLabelText(14.9), "10 Hz");
}

TEST(ReduceParamsRules, StartValuesAreTheBarsDefaults) {
    ReduceParams p;
    EXPECT_EQ(p.VRBand1.load(), BandEdgeFromBar(static_cast<float>(std::log10(200.0))));
    EXPECT_EQ(p.VRBand2.load(), BandEdgeFromBar(static_cast<float>(std::log10(16500.0))));
    EXPECT_FALSE(p.VREnable.load());
    EXPECT_EQ(p.VRFFTPoint.load(), FFTPointFromIndex(1));
    // The program-wide names are the fields of the one instance.
    EXPECT_EQ(&VRAParam, &VR.VRAParam);
    EXPECT_EQ(&VRFFTPoint, &VR.VRFFTPoint);
}

TEST(ReduceParamsRules, FramePointsFromItem) {
    EXPECT_EQ(FFTPointFromIndex(0), 8192);
    EXPECT_EQ(FFTPointFromIndex(1), 16384);
    EXPECT_EQ(FFTPointFromIndex(2), 32768);
}

TEST(ReduceParamsRules, TempoPercentWithDeadZone) {
    struct Case {
        float bar;
        double percent, tolerance;
    };
    const Case cases[] = {
        {0.0f, 0.0, 0.0},
        {static_cast<float>(std::log10(1.04)), 0.0, 0.0}, // 4 %: dead zone
        {static_cast<float>(std::log10(0.96)), 0.0, 0.0}, // -4 %: dead zone
        {static_cast<float>(std::log10(1.06)), 6.0, 1e-4},
        {static_cast<float>(std::log10(0.94)), -6.0, 1e-4},
        {-0.301f, -49.997, 1e-3}, // the bar's ends
        {0.301f, 99.986, 1e-3},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(TempoPercentFromBar(c.bar), c.percent, c.tolerance) << c.bar;
}

} // namespace
} // namespace corvanel
