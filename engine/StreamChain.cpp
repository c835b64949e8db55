#include "engine/StreamChain.h"

#include "base/TextCodec.h"
#include "dsp/CorvanelError.h"
#include "dsp/ReduceProc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace corvanel {

namespace {

constexpr DWORD kOpenFlags = BASS_UNICODE | BASS_STREAM_DECODE; // 0x80200000
constexpr char kTagSeparator = '\x1e';
constexpr const char* kUnsupportedFormat = "対応していないファイル形式です";
constexpr const char* kNotStereo = "モノラルや5.1ch音源には対応していません.(Ch=%d)";

// From the last "." of the file name on, dot included; empty if the name has none.
std::string_view Extension(std::string_view path) {
#ifdef _WIN32
    const std::size_t nameStart = path.find_last_of("/\\:");
#else
    const std::size_t nameStart = path.find_last_of('/');
#endif
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (nameStart != std::string_view::npos && dot < nameStart))
        return {};
    return path.substr(dot);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

void StopAndFree(HSTREAM handle) {
    if (handle == 0)
        return;
    BASS_ChannelStop(handle);
    BASS_StreamFree(handle);
}

} // namespace

StreamChain::StreamChain(ReduceProcessor& processor, OutputTap& viewStream)
    : FProcessor(processor), FViewStream(viewStream) {
    if (&processor == &TheReduceProcessor()) {
        FReduceRoutine = &ReduceProc;
        FReduceUser = &SoundQueue;
    } else {
        FReduceRoutine = &ReduceProcessor::DspCallback;
        FReduceUser = &processor;
    }
    FProcessor.SetPlaybackSink([this](const std::uint8_t* data, std::uint32_t length) {
        if (FSendingEnd) {
            length = static_cast<std::uint32_t>(std::min<std::int64_t>(length, FEndBytesLeft));
            FEndBytesLeft -= length;
            if (length == 0)
                return;
        }
        BASS_StreamPutData(dwOutStream(), data, length);
    });
    FProcessor.SetEncoderSink([this](const std::uint8_t* data, std::uint32_t length) {
        BASS_Encode_Write(dwEncoder(), data, length);
    });
}

StreamChain::~StreamChain() {
    ReleaseChain();
    // The sinks point at this chain; no call can run once its streams are gone.
    FProcessor.SetPlaybackSink(nullptr);
    FProcessor.SetEncoderSink(nullptr);
}

void StreamChain::ReleaseChain() {
    StopAndFree(dwStream());
    StopAndFree(dwFxStream());
    StopAndFree(dwOutStream());
}

void StreamChain::ProcessingButtonClick(ChainMode mode, const ChainControls& controls) {
    const bool playback = mode == ChainMode::Playback;

    // The layer pauses under the stream's render lock, so no call of the processor runs while
    // the tempo stream reports paused: its queues may be emptied here directly.
    if (playback && BASS_ChannelIsActive(dwFxStream()) == BASS_ACTIVE_PAUSED) {
        FProcessor.HistoryQueue().Clear();
        FProcessor.TailQueue().Clear();
        BASS_ChannelPlay(dwFxStream(), FALSE);
        return;
    }

    // Stopping takes each stream's render lock: once freed, neither routine can run, and the
    // queues may be emptied here directly.
    ReleaseChain();
    FProcessor.HistoryQueue().Clear();
    FProcessor.TailQueue().Clear();
    FProcessor.SoundQueue().Clear();
    FViewStream.Clear();

    const std::u16string path = Utf8ToUtf16(controls.Path);
    HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, kOpenFlags);
    if (stream == 0) {
        const std::string_view ext = Extension(controls.Path);
        if (EqualsIgnoringAsciiCase(ext, ".aac") || EqualsIgnoringAsciiCase(ext, ".mp4") ||
            EqualsIgnoringAsciiCase(ext, ".m4a"))
            stream = BASS_AAC_StreamCreateFile(FALSE, path.c_str(), 0, 0, kOpenFlags);
        else if (EqualsIgnoringAsciiCase(ext, ".wma"))
            stream = BASS_WMA_StreamCreateFile(FALSE, path.c_str(), 0, 0, kOpenFlags);
    }
    FStream.store(stream, std::memory_order_relaxed);
    if (stream == 0)
        throw CorvanelError(kUnsupportedFormat);

    FChInfo = BASS_CHANNELINFO{};
    BASS_ChannelGetInfo(stream, &FChInfo);
    if (FChInfo.chans != 2) {
        char message[128];
        std::snprintf(message, sizeof message, kNotStereo, static_cast<int>(FChInfo.chans));
        throw CorvanelError(message);
    }
    FProcessor.SetSourceRate(FChInfo.freq);

    ReadTags();

    if (playback) {
        FFxStream.store(BASS_FX_TempoCreate(stream, 0), std::memory_order_relaxed);
        FOutStream.store(BASS_StreamCreate(FChInfo.freq, 2, 0, STREAMPROC_PUSH, nullptr),
                         std::memory_order_relaxed);
        FReduceDsp = BASS_ChannelSetDSP(dwFxStream(), FReduceRoutine, FReduceUser, 0);
        BASS_ChannelSetSync(dwFxStream(), BASS_SYNC_END | BASS_SYNC_MIXTIME, 0, &SendHeldBackEnd,
                            this);
        BASS_ChannelSetDSP(dwOutStream(), &ViewProc, &FViewStream, 0);
        VolumeBarChange(controls.Volume);
        // Starting renders the whole playback buffer at once: key and tempo must already hold.
        SpinKeyChangeChange(controls.KeyChange);
        TrackTempoChange(controls.Tempo);
        BASS_ChannelPlay(dwFxStream(), TRUE);
        BASS_ChannelPlay(dwOutStream(), TRUE);
    } else {
        FFxStream.store(BASS_FX_TempoCreate(stream, BASS_STREAM_DECODE), std::memory_order_relaxed);
        FOutStream.store(
            BASS_StreamCreate(FChInfo.freq, 2, BASS_STREAM_DECODE, STREAMPROC_PUSH, nullptr),
            std::memory_order_relaxed);
        SpinKeyChangeChange(controls.KeyChange);
        TrackTempoChange(controls.Tempo);
    }

    BASS_SetConfig(BASS_CONFIG_ENCODE_QUEUE, 0);
}

void StreamChain::SendHeldBackEnd(HSYNC, DWORD, DWORD, void* user) {
    auto& chain = *static_cast<StreamChain*>(user);
    ReduceProcessor& processor = chain.FProcessor;
    const ReduceParams& params = processor.Params();
    const std::int32_t n = params.VRFFTPoint.load(std::memory_order_acquire);
    if (chain.FReduceDsp == 0 || !params.VREnable.load(std::memory_order_relaxed) ||
        !ReduceProcessor::IsValidFrameSize(n))
        return;
    // Output runs a quarter frame (n bytes) behind the input, and up to a frame of input waits
    // in the queue: two frames of zeros push all of it out.
    chain.FEndBytesLeft = processor.SoundQueue().TrueLength() + n;
    chain.FSendingEnd = true;
    // The processor returns each piece as zeros, so the buffer stays zero.
    for (std::int64_t left = 8 * static_cast<std::int64_t>(n); left > 0;) {
        const auto piece =
            static_cast<DWORD>(std::min<std::int64_t>(left, std::ssize(chain.FEndZeros)));
        chain.FReduceRoutine(chain.FReduceDsp, chain.dwFxStream(), chain.FEndZeros.data(), piece,
                             chain.FReduceUser);
        left -= piece;
    }
    chain.FSendingEnd = false;
}

void StreamChain::ReadTags() {
    FChTag.Clear();
    FChTag.SetNameValueSeparator(kTagSeparator);
    static constexpr const char* kFields[][2] = {{"TITLE", "%TITL"},
                                                 {"ARTIST", "%ARTI"},
                                                 {"ALBUM", "%ALBM"},
                                                 {"GENRE", "%GNRE"},
                                                 {"YEAR", "%YEAR"}};
    for (const auto& field : kFields)
        FChTag.Add(std::string(field[0]) + kTagSeparator + field[1]);
    const std::string format = Utf8ToAnsi(FChTag.Text());
    const char* expanded = TAGS_Read(dwStream(), format.c_str());
    FChTag.SetText(AnsiToUtf8(expanded != nullptr ? expanded : ""));
}

void StreamChain::Button4Click() {
    BASS_ChannelPause(dwFxStream());
}

void StreamChain::TrackPositionChange(float seconds, int positionTag) {
    if (positionTag != 0)
        return;
    const QWORD bytes = BASS_ChannelSeconds2Bytes(dwStream(), static_cast<double>(seconds));
    BASS_ChannelSetPosition(dwStream(), bytes, BASS_POS_BYTE);
}

void StreamChain::VolumeBarChange(float volume) {
    const double gain = std::pow(10.0, -static_cast<double>(volume) / 20.0);
    BASS_ChannelSetAttribute(dwOutStream(), BASS_ATTRIB_VOL, static_cast<float>(gain));
}

void StreamChain::SpinKeyChangeChange(double key) {
    FProcessor.Params().VRKeyChange.store(key, std::memory_order_relaxed);
    BASS_ChannelSetAttribute(dwFxStream(), BASS_ATTRIB_TEMPO_PITCH, static_cast<float>(key));
}

void StreamChain::TrackTempoChange(float tempoBar) {
    const double percent = TempoPercentFromBar(tempoBar);
    FProcessor.Params().VRTempo.store(percent, std::memory_order_relaxed);
    BASS_ChannelSetAttribute(dwFxStream(), BASS_ATTRIB_TEMPO, static_cast<float>(percent));
}

void StreamChain::Switch1Switch(bool on) {
    FProcessor.Params().VREnable.store(on, std::memory_order_relaxed);
    BASS_ChannelSetAttribute(dwFxStream(), BASS_ATTRIB_TEMPO, 0.0f);
    BASS_ChannelSetAttribute(dwFxStream(), BASS_ATTRIB_TEMPO_PITCH, 0.0f);
}

std::optional<std::string> StreamChain::Button1Click(const std::optional<std::string>& chosenPath) {
    if (!chosenPath)
        return std::nullopt;
    BASS_ChannelStop(dwFxStream());
    return chosenPath;
}

void StreamChain::Edit1DragEnter() {
    FDropPath.clear();
}

bool StreamChain::Edit1DragOver(const std::vector<std::string>& filePaths) {
    if (!filePaths.empty() && !filePaths.front().empty())
        FDropPath = filePaths.front();
    return !FDropPath.empty();
}

std::string StreamChain::Edit1DragDrop() {
    BASS_ChannelStop(dwFxStream());
    return FDropPath;
}

} // namespace corvanel
