// StreamChain: the source file, the tempo stream on it and the push stream the listener hears,
// built anew for each playback from the beginning and for each export, with the reduction
// processor and the output tap wired in; and the playback controls that act on that chain.
// It is the one owner of the handles dwStream, dwFxStream, dwOutStream, dwEncoder and of
// ChInfo and ChTag, and holds sDropPath for a drag in progress. The window's handlers pass it
// the values their controls hold and write back what it returns.
//
// Units: volume in dB of attenuation (VolumeBar), key in semitones (SpinKeyChange), tempo
// bar as log10 of the speed factor (TrackTempo), positions in seconds (TrackPosition).
// Paths and tag text are UTF-8. Handles are the audio layer's (0 = none); they keep their
// values after their streams are freed until the next build overwrites them.
//
// Threads: every member runs on the chain's owning thread (the UI thread in the window; a
// batch tool's worker for its export). The processor's sinks, which this chain wires, run
// where the processor runs (audio thread for playback, the export run's thread for an export).
// Several chains may exist, each with its own processor and tap; the processor and the tap
// must outlive the chain.
#pragma once

#include "base/AudioThread.h"
#include "audio/include/bass.h"
#include "engine/OutputTap.h"
#include "engine/TagList.h"
#include "dsp/ReduceProcessor.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvanel {

// The values of the window's controls that a build applies to the new chain.
struct ChainControls {
    std::string Path;       // Edit1, UTF-8
    float Volume = 20.0f;   // VolumeBar, dB of attenuation (0 ... 90)
    double KeyChange = 0.0; // SpinKeyChange, semitones (-7 ... 7)
    float Tempo = 0.0f;     // TrackTempo, log10 of the speed factor (-0.301 ... 0.301)
};

// Playback: the play button or command (a sender). Export: the export run (no sender).
enum class ChainMode { Playback, Export };

class StreamChain {
  public:
    // Wires the processor's playback sink to dwOutStream and its encoder sink to dwEncoder.
    // With the program's processor (TheReduceProcessor) the tempo stream gets ReduceProc with
    // SoundQueue as user data; with any other, ReduceProcessor::DspCallback with the
    // processor. Call while the processor cannot run.
    StreamChain(ReduceProcessor& processor, OutputTap& viewStream);
    // Stops and frees this chain's streams, then unwires the processor's sinks.
    ~StreamChain();
    StreamChain(const StreamChain&) = delete;
    StreamChain& operator=(const StreamChain&) = delete;

    // Playback: resumes a paused tempo stream (overlap queues emptied, SoundQueue kept), or
    // releases the old chain, opens controls.Path, reads its tags, builds the playing chain,
    // applies volume, key and tempo and starts it from the beginning; when the tempo stream's
    // data ends, what the reduction holds back is played too. Export: the same build
    // with decoding streams, nothing attached, nothing started, volume not applied.
    // Throws CorvanelError "対応していないファイル形式です" when no opener takes the file
    // (dwStream 0), or "モノラルや5.1ch音源には対応していません.(Ch=N)" when the source is not
    // stereo (dwStream stays open, no tempo or push stream is made).
    void ProcessingButtonClick(ChainMode mode, const ChainControls& controls);

    // Pause: only the tempo stream; the push stream sounds out what it already holds.
    void Button4Click();
    // Seek on the source stream unless positionTag (TrackPosition's tag) is non-zero.
    void TrackPositionChange(float seconds, int positionTag);
    // Gain 10^(-volume/20) on the push stream.
    void VolumeBarChange(float volume);
    // VRKeyChange = key; pitch attribute of the tempo stream.
    void SpinKeyChangeChange(double key);
    // VRTempo from the bar (5 % dead zone); tempo attribute of the tempo stream.
    void TrackTempoChange(float tempoBar);
    // VREnable = on; tempo and pitch of the tempo stream back to 0, VRTempo and VRKeyChange
    // unchanged.
    void Switch1Switch(bool on);

    // Button1Click once the open dialog has closed: a confirmed path stops the tempo stream
    // and is returned for Edit1; a cancelled dialog (nullopt) does nothing.
    std::optional<std::string> Button1Click(const std::optional<std::string>& chosenPath);
    // Drag and drop on Edit1 and Image6. DragOver returns whether the drop is accepted;
    // DragDrop stops the tempo stream and returns the text for Edit1.
    void Edit1DragEnter();
    bool Edit1DragOver(const std::vector<std::string>& filePaths);
    std::string Edit1DragDrop();
    const std::string& sDropPath() const { return FDropPath; }

    HSTREAM dwStream() const { return FStream.load(std::memory_order_relaxed); }
    HSTREAM dwFxStream() const { return FFxStream.load(std::memory_order_relaxed); }
    HSTREAM dwOutStream() const { return FOutStream.load(std::memory_order_relaxed); }
    HENCODE dwEncoder() const { return FEncoder.load(std::memory_order_relaxed); }
    // Set by the export run around its encoder's life; the processor writes to it when it is
    // called with handle 0.
    void SetEncoder(HENCODE encoder) { FEncoder.store(encoder, std::memory_order_relaxed); }
    const BASS_CHANNELINFO& ChInfo() const { return FChInfo; }
    const TagList& ChTag() const { return FChTag; }

    ReduceProcessor& Processor() { return FProcessor; }
    OutputTap& ViewStream() { return FViewStream; }
    // The routine attached to the tempo stream in playback (ReduceProc or the processor's
    // own adapter) and its user data; the export run calls it with handle 0.
    DSPPROC ReduceRoutine() const { return FReduceRoutine; }
    void* ReduceUser() const { return FReduceUser; }

  private:
    void ReleaseChain();
    void ReadTags();
    // At the end of the tempo stream's data: sends the input the reduction still holds to the
    // push stream, so playback reaches the song's last sample.
    CORVANEL_AUDIO_THREAD static void SendHeldBackEnd(HSYNC sync, DWORD channel, DWORD data,
                                                      void* user);

    ReduceProcessor& FProcessor;
    OutputTap& FViewStream;
    DSPPROC FReduceRoutine = nullptr;
    void* FReduceUser = nullptr;
    // Read by the processor's sinks, possibly on the audio thread.
    std::atomic<HSTREAM> FStream{0}, FFxStream{0}, FOutStream{0};
    std::atomic<HENCODE> FEncoder{0};
    // Audio thread only: while the held-back end is sent, the bytes the push stream may still
    // take (the zeros that flush it out are not played).
    bool FSendingEnd = false;
    std::int64_t FEndBytesLeft = 0;
    // The zeros that flush the end out go in pieces of this buffer, so the audio thread
    // allocates nothing whatever the frame length.
    std::vector<std::uint8_t> FEndZeros = std::vector<std::uint8_t>(64 * 1024);
    HDSP FReduceDsp = 0;
    BASS_CHANNELINFO FChInfo{};
    TagList FChTag;
    std::string FDropPath;
};

} // namespace corvanel
