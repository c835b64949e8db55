#pragma once
// The export run (the export button, Button5Click): rebuilds the chain in decoding mode,
// starts the chosen encoder, pulls the tempo stream in half-second blocks through the
// reduction processor into the encoder, lets the window handle its events between blocks
// and reports the outcome. CornerButton1Click asks a running export to stop.
//
// The written audio lines up with the tempo stream: with the reduction on, the processor's
// quarter-frame lead-in is dropped and its held-back end is flushed with silence, so the
// output has exactly as many sample pairs as the tempo stream delivered. A failed encoder
// start, write or finish ends the run with an error, never with the completion message; so
// does a source whose decoding stopped on damaged data (the output keeps what was written).
//
// Units: block size in bytes (half a second of 16-bit stereo, whole sample pairs); progress
// in percent of the source's length in bytes; the pass-through pause in milliseconds; the
// encoder queue limit in bytes. Paths and texts are UTF-8.
//
// Threads: a run and its view on one thread: the window's UI thread, or any thread of a
// batch tool, which may run several exports at once, each with its own run, chain, processor
// and view (the encoder's queue limit is the run's own; the audio layer is thread-safe).
// CornerButton1Click and AbortFlag from any thread. The run owns the chain's streams and
// encoder from the rebuild to the clean-up; while Running() is true the window's play, open,
// save-to and export commands must do nothing.
#include "export/OutputChoice.h"
#include "engine/StreamChain.h"
#include "audio/include/bass.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvanel {

inline constexpr std::string_view kUnknownEncoderMessage = "エンコーダーが不明です";
inline constexpr std::string_view kSameAsSourceMessage = "出力先が入力ファイルと同じです。";
inline constexpr std::string_view kExportFailedMessage = "書き出しに失敗しました。";
inline constexpr std::string_view kExportAbortedMessage = "書き出しを中断しました。";
inline constexpr std::string_view kExportFinishedMessage = "書き出しが完了しました。";

// The WAV file written by the audio layer.
inline constexpr std::uint32_t kWaveEncodeFlags =
    BASS_ENCODE_PCM | BASS_ENCODE_QUEUE | BASS_ENCODE_AUTOFREE | BASS_ENCODE_UNICODE;
// A program fed raw PCM on its input.
inline constexpr std::uint32_t kProgramEncodeFlags =
    BASS_ENCODE_NOHEAD | BASS_ENCODE_QUEUE | BASS_ENCODE_AUTOFREE | BASS_ENCODE_UNICODE;

// What the window does for a run. Every call comes from the run, on the run's thread.
class TExportView {
  public:
    virtual ~TExportView() = default;
    // The output choice (Button2Click) with the run's result holder as its sender.
    virtual void ChooseOutput(TObjectEx& sender) = 0;
    // WritingView shown with AniIndicator1 running (true), or hidden with it stopped.
    virtual void ShowWritingView(bool shown) = 0;
    // ProgressBar1, 0 ... 100.
    virtual void SetProgress(double percent) = 0;
    // Lets the window handle its pending events once (repaint, the abort button).
    virtual void ProcessEvents() = 0;
    // TrackPosition set to 0; its change handler rewinds the source.
    virtual void RewindPosition() = 0;
    // Outcome boxes with one OK button: information, warning, error.
    virtual void ShowInformation(const std::string& text) = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowError(const std::string& text) = 0;
};

struct TExportOptions {
    // Pause after each block passed through unreduced: the window's pacing of an export with
    // the reduction off. It changes no data; a batch tool may set 0.
    std::chrono::milliseconds PassThroughPause{20};
    // The run's encoder's own queue limit: writing waits while more is queued, so memory does
    // not grow with the source's length when the encoder is slower than decoding. 0: no limit.
    std::uint32_t EncoderQueueLimit = 4u << 20;
};

enum class TExportOutcome {
    Busy,      // a run was already in progress; nothing done
    Cancelled, // no output chosen: the dialog was cancelled; nothing shown
    Completed, // the whole source was written
    Aborted,   // stopped by CornerButton1Click; the output holds what was written
    Failed,    // an error message was shown
};

struct TExportResult {
    TExportOutcome Outcome = TExportOutcome::Busy;
    std::string Message; // the text shown to the user; empty when none
    // A failed encoder's last lines on its standard error; Message ends with them after a
    // line break.
    std::string EncoderMessages;
    std::int64_t BytesPulled = 0;  // bytes the tempo stream delivered
    std::int64_t BytesWritten = 0; // bytes handed to the encoder
};

class TExportRun {
  public:
    // The chain (with its processor), the output choice and the window outlive the run. The
    // run stops on its own abort flag, or on the window's, which outlives the run.
    TExportRun(StreamChain& chain, TExportState& state, TExportView& view,
               TExportOptions options = {});
    TExportRun(StreamChain& chain, TExportState& state, TExportView& view,
               std::atomic<bool>& abortFlag, TExportOptions options = {});
    TExportRun(const TExportRun&) = delete;
    TExportRun& operator=(const TExportRun&) = delete;

    // The whole run for the source and controls of the window (Edit1, key, tempo).
    TExportResult Button5Click(const ChainControls& controls);
    // Asks the running export to stop after its current block. Safe from any thread.
    void CornerButton1Click() { _AbortFlag.store(true); }

    bool Running() const { return FRunning; }
    bool AbortFlag() const { return _AbortFlag.load(); }

    // Half a second of 16-bit stereo at the rate, rounded down to whole pairs.
    static std::uint32_t BlockBytes(std::uint32_t sampleRate) { return (sampleRate / 2) * 4; }

  private:
    TExportResult Run(const ChainControls& controls);

    StreamChain& FChain;
    TExportState& FState;
    TExportView& FView;
    TExportOptions FOptions;
    std::atomic<bool> FOwnAbortFlag{false};
    std::atomic<bool>& _AbortFlag; // cleared when a run starts, read after every block
    bool FRunning = false;
};

} // namespace corvanel
