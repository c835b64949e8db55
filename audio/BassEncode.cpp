// The encoder operations: a WAV (or headerless) file written here, or a command-line program
// fed 16-bit samples on its standard input. Data comes from BASS_Encode_Write and from what
// the channel renders (a DSP routine of lowest priority, so it sees the final samples).

#include "base/AudioThread.h"
#include "audio/include/bass.h"
#include "base/CommandLine.h"
#include "audio/include/EncodeFailure.h"
#include "audio/encode/EncodeQueue.h"
#include "audio/encode/Outputs.h"
#include "audio/encode/WavFileWriter.h"
#include "audio/internal/PathText.h"
#include "base/TextCodec.h"
#include "audio/internal/Registry.h"

#include <climits>
#include <cstdint>
#include <memory>

namespace corvanel::audio {

namespace {

using encode::EncodeFault;
using encode::EncodeQueue;
using encode::EncodeResult;

constexpr DWORD kKnownFlags =
    BASS_ENCODE_NOHEAD | BASS_ENCODE_PCM | BASS_ENCODE_QUEUE | BASS_ENCODE_AUTOFREE | BASS_UNICODE;

class Encoder final : public HandleObject {
  public:
    Encoder(DWORD channel, std::unique_ptr<EncodeQueue> queue)
        : channel_(channel), queue_(std::move(queue)) {}

    DWORD channel() const { return channel_; }
    HDSP dsp() const { return dsp_; }
    void setDsp(HDSP dsp) { dsp_ = dsp; }
    EncodeQueue& queue() { return *queue_; }

    // Freed with its channel, by BASS_Free, or after BASS_Encode_Stop: the output is ended.
    void onRelease() override { queue_->finish(); }

  private:
    const DWORD channel_;
    HDSP dsp_ = 0;
    std::unique_ptr<EncodeQueue> queue_;
};

int errorCodeFor(EncodeFault fault) {
    switch (fault) {
    case EncodeFault::None:
        return 0;
    case EncodeFault::CannotStart:
    case EncodeFault::CannotCreate:
        return BASS_ERROR_CREATE;
    case EncodeFault::BrokenPipe:
    case EncodeFault::ProgramFailed:
    case EncodeFault::Closed:
        return BASS_ERROR_ENDED;
    case EncodeFault::WriteFailed:
        return BASS_ERROR_UNKNOWN;
    }
    return BASS_ERROR_UNKNOWN;
}

void fail(int code, std::string detail, std::string programMessages = {}) {
    setError(code);
    encode::setLastFailureDetail(std::move(detail));
    encode::setLastProgramMessages(std::move(programMessages));
}

void succeed() {
    setError(0);
    encode::setLastFailureDetail({});
    encode::setLastProgramMessages({});
}

// Feeds the encoder what the channel rendered.
CORVANEL_AUDIO_THREAD void feedFromChannel(HDSP, DWORD, void* buffer, DWORD length, void* user) {
    const auto handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(user));
    if (auto enc = lookupAs<Encoder>(handle))
        enc->queue().write(buffer, length);
}

} // namespace

} // namespace corvanel::audio

using namespace corvanel::audio;

extern "C" DWORD BASS_Encode_GetVersion(void) {
    return CORVANEL_AUDIO_VERSION;
}

extern "C" HENCODE BASS_Encode_Start(DWORD handle, const void* cmdline, DWORD flags,
                                     ENCODEPROC proc, void* user) {
    (void)user;
    if (proc != nullptr) {
        fail(BASS_ERROR_NOTAVAIL, "an encoder output callback is not supported");
        return 0;
    }
    if ((flags & ~kKnownFlags) != 0 || cmdline == nullptr) {
        fail(BASS_ERROR_ILLPARAM, "unknown encoder flags or no file name / command line");
        return 0;
    }
    const std::optional<ChannelFormat> format = channelFormat(handle);
    if (!format) {
        fail(BASS_ERROR_HANDLE, "not a channel");
        return 0;
    }
    const std::string text = (flags & BASS_UNICODE) != 0
                                 ? corvanel::Utf16ToUtf8Lossy(static_cast<const char16_t*>(cmdline))
                                 : std::string(static_cast<const char*>(cmdline));

    EncodeResult started;
    std::unique_ptr<encode::EncoderOutput> output;
    const bool toFile = (flags & BASS_ENCODE_PCM) != 0;
    const bool header = (flags & BASS_ENCODE_NOHEAD) == 0;
    if (toFile) {
        output = encode::createFileOutput(
            std::filesystem::u8path(text), static_cast<int>(format->freq),
            static_cast<int>(format->chans),
            header ? encode::WavFileWriter::Container::Wave : encode::WavFileWriter::Container::Raw,
            started);
    } else {
        const std::vector<std::string> argv = corvanel::splitCommandLine(text);
        if (argv.empty()) {
            fail(BASS_ERROR_ILLPARAM, "empty command line");
            return 0;
        }
        output = encode::startProgramOutput(argv, started);
    }
    if (!output) {
        fail(errorCodeFor(started.fault), started.detail);
        return 0;
    }

    const auto mode =
        (flags & BASS_ENCODE_QUEUE) != 0 ? EncodeQueue::Mode::Queued : EncodeQueue::Mode::Direct;
    auto queue = std::make_unique<EncodeQueue>(std::move(output), mode,
                                               configValue(BASS_CONFIG_ENCODE_QUEUE));
    if (!toFile && header) {
        const auto h = encode::streamingWavHeader(format->freq, format->chans);
        queue->write(h.data(), h.size());
    }
    auto encoder = std::make_shared<Encoder>(handle, std::move(queue));
    const uint32_t encHandle = registerObject(encoder);
    if (encHandle == 0) {
        fail(BASS_ERROR_MEM, "no encoder handle");
        return 0;
    }

    if ((flags & BASS_ENCODE_AUTOFREE) != 0 &&
        !addFreeHook(handle, [encHandle] { releaseHandle(encHandle); })) {
        releaseHandle(encHandle);
        fail(BASS_ERROR_HANDLE, "the channel was freed");
        return 0;
    }
    const HDSP dsp =
        BASS_ChannelSetDSP(handle, feedFromChannel,
                           reinterpret_cast<void*>(static_cast<uintptr_t>(encHandle)), INT_MIN);
    encoder->setDsp(dsp);
    succeed();
    return encHandle;
}

extern "C" BOOL BASS_Encode_Write(DWORD handle, const void* buffer, DWORD length) {
    const auto enc = lookupAs<Encoder>(handle);
    if (!enc) {
        fail(BASS_ERROR_HANDLE, "not an encoder");
        return FALSE;
    }
    if (buffer == nullptr && length > 0) {
        fail(BASS_ERROR_ILLPARAM, "no data");
        return FALSE;
    }
    if (!enc->queue().write(buffer, length)) {
        fail(BASS_ERROR_ENDED, "the encoder has already failed");
        return FALSE;
    }
    succeed();
    return TRUE;
}

extern "C" BOOL BASS_Encode_Stop(DWORD handle) {
    const auto enc = lookupAs<Encoder>(handle);
    if (!enc) {
        fail(BASS_ERROR_HANDLE, "not an encoder");
        return FALSE;
    }
    if (enc->dsp() != 0)
        BASS_ChannelRemoveDSP(enc->channel(), enc->dsp());
    const EncodeResult result = enc->queue().finish();
    releaseHandle(handle);
    if (!result.ok()) {
        fail(errorCodeFor(result.fault), result.detail, result.programMessages);
        return FALSE;
    }
    succeed();
    return TRUE;
}

extern "C" BOOL BASS_Encode_SetQueueLimit(HENCODE handle, DWORD bytes) {
    const auto enc = lookupAs<Encoder>(handle);
    if (!enc) {
        fail(BASS_ERROR_HANDLE, "not an encoder");
        return FALSE;
    }
    enc->queue().setLimit(bytes);
    succeed();
    return TRUE;
}
