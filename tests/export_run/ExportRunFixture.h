#pragma once
// Shared pieces of the export-run tests: a window that records what the run asks of it, a
// rig of processor, chain and run, and the export's reference results.
// Samples are 16-bit stereo interleaved; lengths in sample pairs unless named bytes.
#include "engine/OutputTap.h"
#include "export/ExportRun.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"
#include "tests/support/Wav.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvanel::test {

namespace fs = std::filesystem;

struct Box {
    char Kind; // 'I' information, 'W' warning, 'E' error
    std::string Text;
};

class RecordingView : public TExportView {
  public:
    // Called for the output choice; leaves the holder untouched (a cancel) when empty.
    std::function<void(TObjectEx&)> OnChoose;
    // Called on every event pump with its 1-based count.
    std::function<void(int)> OnEvents;

    int ChooseCalls = 0;
    int EventCalls = 0;
    int Rewinds = 0;
    int ShowCalls = 0; // times WritingView was shown
    bool WritingShown = false;
    std::vector<double> Progress;
    std::vector<Box> Boxes;

    void ChooseOutput(TObjectEx& sender) override;
    void ShowWritingView(bool shown) override;
    void SetProgress(double percent) override { Progress.push_back(percent); }
    void ProcessEvents() override;
    void RewindPosition() override { ++Rewinds; }
    void ShowInformation(const std::string& text) override { Boxes.push_back({'I', text}); }
    void ShowWarning(const std::string& text) override { Boxes.push_back({'W', text}); }
    void ShowError(const std::string& text) override { Boxes.push_back({'E', text}); }
};

// A processor, its chain and a run over them, with a window that records.
struct Rig {
    explicit Rig(TExportOptions options = NoPause());
    static TExportOptions NoPause() {
        TExportOptions o;
        o.PassThroughPause = std::chrono::milliseconds(0);
        return o;
    }

    ReduceParams Params;
    ReduceProcessor Processor{Params};
    OutputTap Tap;
    StreamChain Chain{Processor, Tap};
    TExportState State;
    RecordingView View;
    TExportRun Run;
};

// Centre, left-only and right-only tones with a little noise: bins of every kind.
std::vector<std::int16_t> TestSignal(int sampleRate, std::int64_t pairs, std::uint32_t seed = 1);

// The tempo stream's whole output for the file, pulled in blocks of blockBytes, with the key
// change in semitones applied.
std::vector<std::uint8_t> DecodeTempo(const fs::path& file, double keyChange,
                                      std::uint32_t blockBytes);

// What an aligned export of pcm gives: a fresh processor with the parameters' reduction
// settings, fed in blocks of blockBytes.
std::vector<std::uint8_t> AlignedReference(const std::vector<std::uint8_t>& pcm,
                                           std::uint32_t sampleRate, bool reduce,
                                           std::int32_t fftPoint, std::uint32_t blockBytes);

// Bytes of interleaved samples.
std::vector<std::uint8_t> Bytes(const std::vector<std::int16_t>& samples);

// EncodeDir of the shipped catalogue beside the test programs.
std::string AddonDir();

} // namespace corvanel::test
