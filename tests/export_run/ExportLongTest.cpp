// A one-hour source exported through a slower encoder: the peak memory of the process after
// the hour may not exceed that after a one-minute export by more than a few megabytes, so
// nothing on the way (queues, blocks, the processor) grows with the length of the source.
#include "tests/export_run/ExportRunFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace corvanel;
using namespace corvanel::test;

namespace {

// Peak resident set of this process, in kB.
long PeakRssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

bool Synth(const fs::path& file, int seconds) {
    const std::string command = "sox -n -r 44100 -c 2 -b 16 '" + file.string() + "' synth " +
                                std::to_string(seconds) + " sine 440 sine 660 >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

TEST(ExportLong, MemoryDoesNotGrowWithTheSourceLength) {
    TempFolder dir;
    const fs::path minute = dir / "minute.wav";
    const fs::path hour = dir / "hour.wav";
    if (!Synth(minute, 60) || !Synth(hour, 3600))
        GTEST_SKIP() << "sox could not make the sources";
    const TEncoderCatalogue catalogue = TEncoderCatalogue::LoadFromFile(AddonDir() + "encoder.inf");

    auto exportTo = [&](const fs::path& source, const fs::path& output) {
        Rig rig;
        rig.Params.VREnable = true;
        rig.State.EncodeDir = AddonDir();
        rig.State.QualitySelecter = 2;
        AcceptOutputChoice(rig.State, catalogue, output.string());
        ChainControls controls;
        controls.Path = source.string();
        return rig.Run.Button5Click(controls);
    };
    if (!fs::exists(AddonDir() + "lame"))
        GTEST_SKIP() << "lame is not installed";

    const TExportResult first = exportTo(minute, dir / "minute.mp3");
    ASSERT_EQ(first.Outcome, TExportOutcome::Completed) << first.Message;
    const long afterMinute = PeakRssKb();
    fs::remove(minute);
    const TExportResult second = exportTo(hour, dir / "hour.mp3");
    ASSERT_EQ(second.Outcome, TExportOutcome::Completed) << second.Message;
    const long afterHour = PeakRssKb();
    ASSERT_GT(afterMinute, 0);
    EXPECT_EQ(second.BytesWritten, std::int64_t{44100} * 3600 * 4);
    RecordProperty("PeakRssAfterMinuteKb", std::to_string(afterMinute));
    RecordProperty("PeakRssAfterHourKb", std::to_string(afterHour));
    std::printf("peak RSS: %ld kB after one minute, %ld kB after one hour\n", afterMinute,
                afterHour);
    EXPECT_LT(afterHour - afterMinute, 16 * 1024) << "peak memory grew with the length";
}

} // namespace
