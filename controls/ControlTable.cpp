#include "controls/ControlTable.h"

namespace corvanel {

namespace {

using C = ControlId;
using R = ControlRule;

constexpr std::string_view kListening = "Listening";
constexpr std::string_view kParameters = "Parameters";

// The band bars end at the single-precision neighbours of log10(24000) just below and above
// it; start-up puts them at the single-precision log10 of 200 and of 16500.
constexpr float kLog200 = 2.30102999566398f;
constexpr float kLog16500 = 4.21748394421391f;
constexpr double kBandTopA = 4.380210876464844;
constexpr double kBandTopB = 4.380211353302002;
constexpr double kTempoEnd = static_cast<double>(0.301f);

// clang-format off
constexpr std::array<ControlRow, kControlCount> kRows{{
    // id, name, {min, max, step, single precision}, key step, design value, start value,
    //     resets, settings section and key, file default, rule
    {C::VolumeBar,     "VolumeBar",     {0.0, 90.0, 0.1},             1.0,  20.0, 20.0,
         false, kListening,  "Volume",         20.0,    R::Plain},
    {C::Switch1,       "Switch1",       {0.0, 1.0, 1.0, false},       0.0,  0.0,  0.0,
         false, kParameters, "Enable",         0.0,     R::Switch},
    {C::Switch2,       "Switch2",       {0.0, 1.0, 1.0, false},       0.0,  0.0,  0.0,
         false, kParameters, "Inverse",        0.0,     R::Switch},
    {C::TrackAParam,   "TrackAParam",   {0.0, 70.0, 0.0},             1.0,  70.0, 70.0,
         true,  kParameters, "ParamAmplitude", 60.0,    R::Plain},
    {C::TrackPParam,   "TrackPParam",   {1.0, 60.0, 0.1},             1.0,  15.0, 15.0,
         true,  kParameters, "ParamPhase",     30.0,    R::Plain},
    {C::TrackPanPot,   "TrackPanPot",   {-20.0, 20.0, 0.0},           1.0,  0.0,  0.0,
         true,  kParameters, "ParamPanPot",    0.0,     R::Plain},
    {C::PopboxFFT,     "PopboxFFT",     {0.0, 2.0, 1.0, false},       0.0,  1.0,  1.0,
         false, kParameters, "FFTPoint",       16384.0, R::FrameSize},
    {C::SpinKeyChange, "SpinKeyChange", {-7.0, 7.0, 1.0, false},      1.0,  0.0,  0.0,
         true,  kParameters, "KeyChange",      0.0,     R::Plain},
    {C::TrackTempo,    "TrackTempo",    {-kTempoEnd, kTempoEnd, 0.0}, 0.02, 0.0,  0.0,
         true,  kParameters, "Tempo",          0.0,     R::Tempo},
    {C::Freqbar1,      "Freqbar1",      {1.0, kBandTopA, 0.0},        0.1,  1.0,  kLog200,
         true,  kParameters, "FreqRangeA",     200.0,   R::Frequency},
    {C::Freqbar2,      "Freqbar2",      {1.0, kBandTopB, 0.0},        0.1,  kBandTopB, kLog16500,
         true,  kParameters, "FreqRangeB",     16500.0, R::Frequency},
}};
// clang-format on

constexpr bool RowsInIdOrder() {
    for (std::size_t i = 0; i < kRows.size(); ++i)
        if (static_cast<std::size_t>(kRows[i].Id) != i)
            return false;
    return true;
}
static_assert(RowsInIdOrder(), "a row's place is its id");

} // namespace

const std::array<ControlRow, kControlCount>& ControlRows() {
    return kRows;
}

const ControlRow& ControlRowOf(ControlId id) {
    return kRows[static_cast<std::size_t>(id)];
}

} // namespace corvanel
