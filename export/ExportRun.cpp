#include "export/ExportRun.h"

#include "export/EncoderCatalogue.h"
#include "export/EncoderCommandLine.h"
#include "export/SameFile.h"
#include "audio/include/DecodeOutcome.h"
#include "audio/include/bass.h"
#include "base/TextCodec.h"
#include "audio/include/EncodeFailure.h"
#include "dsp/CorvanelError.h"
#include "dsp/ReduceOffline.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <span>
#include <thread>
#include <vector>

namespace corvanel {

namespace {

// The encoder's own last lines follow the reason: they usually say what went wrong.
std::string FailureText(std::string_view reason) {
    const std::string& detail = audio::encode::lastFailureDetail();
    const std::string& programMessages = audio::encode::lastProgramMessages();
    std::string text(kExportFailedMessage);
    text += '\n';
    text += reason;
    if (!detail.empty())
        text += "（" + detail + "）";
    if (!programMessages.empty())
        text += "\n" + programMessages;
    return text;
}

// Why the encoder's data did not all reach the output, for the error code of the failed
// write or stop.
std::string_view DeliveryReason(int code) {
    if (code == BASS_ERROR_ENDED)
        return "エンコーダーが途中で終了したか、エラーを返しました";
    return "出力ファイルへの書き込みに失敗しました";
}

// Stops the encoder on every way out; the result of a stop made here is reported by Stop().
class EncoderGuard {
  public:
    explicit EncoderGuard(HENCODE handle) : FHandle(handle) {}
    EncoderGuard(const EncoderGuard&) = delete;
    EncoderGuard& operator=(const EncoderGuard&) = delete;
    ~EncoderGuard() {
        if (FHandle != 0)
            BASS_Encode_Stop(FHandle);
    }
    bool Stop() {
        const HENCODE h = FHandle;
        FHandle = 0;
        return BASS_Encode_Stop(h) != FALSE;
    }

  private:
    HENCODE FHandle;
};

class ExportFailure : public std::exception {
  public:
    explicit ExportFailure(std::string text) : FText(std::move(text)) {}
    const char* what() const noexcept override { return FText.c_str(); }

  private:
    std::string FText;
};

} // namespace

TExportRun::TExportRun(StreamChain& chain, TExportState& state, TExportView& view,
                       TExportOptions options)
    : TExportRun(chain, state, view, FOwnAbortFlag, options) {}

TExportRun::TExportRun(StreamChain& chain, TExportState& state, TExportView& view,
                       std::atomic<bool>& abortFlag, TExportOptions options)
    : FChain(chain), FState(state), FView(view), FOptions(options), _AbortFlag(abortFlag) {}

TExportResult TExportRun::Button5Click(const ChainControls& controls) {
    if (FRunning)
        return {TExportOutcome::Busy, {}, {}, 0, 0};
    FRunning = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FRunning};
    return Run(controls);
}

TExportResult TExportRun::Run(const ChainControls& controls) {
    TExportResult result;

    // 1. Output check.
    if (FState.Edit2.empty()) {
        TObjectEx sender;
        sender.GenericProp1 = false;
        FView.ChooseOutput(sender);
        if (!OutputChosen(sender)) {
            result.Outcome = TExportOutcome::Cancelled;
            return result;
        }
    }
    auto refuse = [&](std::string_view message) {
        result.Outcome = TExportOutcome::Failed;
        result.Message = message;
        FView.ShowError(result.Message);
        return result;
    };
    // 2. Encoder check; and an output that is the source itself would be truncated by the
    // encoder before the source is read.
    if (FState.EncodeProgram.empty())
        return refuse(kUnknownEncoderMessage);
    if (SameFile(controls.Path, FState.Edit2))
        return refuse(kSameAsSourceMessage);

    // 3.
    FView.ShowWritingView(true);
    _AbortFlag.store(false);

    bool finished = false; // got through the encoder's stop
    std::string failure;
    try {
        // 4.
        FChain.ProcessingButtonClick(ChainMode::Export, controls);
        const HSTREAM source = FChain.dwStream();
        const HSTREAM tempo = FChain.dwFxStream();
        const std::uint32_t rate = FChain.ChInfo().freq;

        // 5. Start the encoder, then give it the run's own queue limit before anything is
        // written to it.
        const bool wave = IsWaveEncoder(FState.EncodeProgram);
        const std::string text =
            wave ? FState.Edit2
                 : BuildEncoderCommandLine(FState, FState.QualitySelecter, static_cast<int>(rate),
                                           FChain.ChTag().Value("TITLE"),
                                           FChain.ChTag().Value("ARTIST"));
        const std::u16string text16 = Utf8ToUtf16(text);
        const HENCODE encoder =
            BASS_Encode_Start(FChain.dwOutStream(), text16.c_str(),
                              wave ? kWaveEncodeFlags : kProgramEncodeFlags, nullptr, nullptr);
        FChain.SetEncoder(encoder);
        if (encoder == 0) {
            audio::encode::setLastProgramMessages({});
            throw ExportFailure(FailureText(wave ? "出力ファイルを作成できません"
                                                 : "エンコーダーを起動できません"));
        }
        EncoderGuard guard(encoder);
        BASS_Encode_SetQueueLimit(encoder, FOptions.EncoderQueueLimit);

        // 6.
        const QWORD length = BASS_ChannelGetLength(source, BASS_POS_BYTE);
        const double total = length == static_cast<QWORD>(-1) ? 0.0 : static_cast<double>(length);

        // 7.
        const std::uint32_t blockBytes = BlockBytes(rate);
        std::vector<std::uint8_t> buffer(std::max<std::uint32_t>(blockBytes, 4));

        int writeError = 0;
        std::string writeDetail;
        ReduceProcessor& processor = FChain.Processor();
        AlignedReducer reducer(processor, [&](const std::uint8_t* data, std::uint32_t n) {
            if (writeError != 0)
                return;
            if (BASS_Encode_Write(encoder, data, n) == FALSE) {
                writeError = BASS_ErrorGetCode();
                writeDetail = audio::encode::lastFailureDetail();
                return;
            }
            result.BytesWritten += n;
        });

        // One block from the tempo stream through the processor; false at the end of its data.
        auto pullBlock = [&]() {
            const DWORD n = BASS_ChannelGetData(tempo, buffer.data(), blockBytes);
            if (n == static_cast<DWORD>(-1))
                return false;
            if (n > 0 && n <= blockBytes) {
                result.BytesPulled += n;
                const bool passThrough = !processor.Params().VREnable.load();
                reducer.Feed(std::span<const std::uint8_t>(buffer.data(), n));
                if (passThrough && FOptions.PassThroughPause.count() > 0)
                    std::this_thread::sleep_for(FOptions.PassThroughPause);
            }
            return true;
        };

        // 8. Until the tempo stream's data ends (also when the source's reported length was
        // too long or too short), an abort, or a failed write.
        struct ProgressReset {
            TExportView& view;
            ~ProgressReset() { view.SetProgress(0.0); }
        } progressReset{FView};
        bool ended = false;
        while (!ended && writeError == 0) {
            ended = !pullBlock();
            FView.ProcessEvents();
            const QWORD pos = BASS_ChannelGetPosition(source, BASS_POS_BYTE);
            double progress = 0.0;
            if (total > 0.0 && pos != static_cast<QWORD>(-1))
                progress = std::min(100.0, static_cast<double>(pos) / total * 100.0);
            FView.SetProgress(progress);
            if (_AbortFlag.load())
                break;
        }
        // 9. The block after an abort, then the processor's held-back end.
        if (!ended && writeError == 0)
            pullBlock();
        if (writeError == 0)
            reducer.Finish();

        // 10.
        // The stop knows the first failure's cause (exit status, broken pipe, disk full);
        // a failed write only knows that the encoder had failed.
        const bool stopped = guard.Stop();
        finished = true;
        if (!stopped)
            throw ExportFailure(FailureText(DeliveryReason(BASS_ErrorGetCode())));
        if (writeError != 0) {
            audio::encode::setLastFailureDetail(writeDetail);
            audio::encode::setLastProgramMessages({});
            throw ExportFailure(FailureText(DeliveryReason(writeError)));
        }
        // The output is complete as far as the source could be decoded, but that is not the
        // whole source.
        if (ended && audio::decodeStoppedEarly(source)) {
            audio::encode::setLastFailureDetail({});
            throw ExportFailure(FailureText(
                "入力ファイルが途中から読めないため、途中までしか書き出せませんでした"));
        }
    } catch (const ExportFailure& e) {
        failure = e.what();
        result.EncoderMessages = audio::encode::lastProgramMessages();
    } catch (const CorvanelError& e) {
        failure = e.what();
    } catch (const std::exception& e) {
        audio::encode::setLastFailureDetail({});
        audio::encode::setLastProgramMessages({});
        failure = FailureText(e.what());
    }

    // 11. Clean-up on every path from the rebuild on.
    FView.ShowWritingView(false);
    FView.RewindPosition();
    BASS_ChannelSetPosition(FChain.dwFxStream(), 0, BASS_POS_BYTE);
    BASS_ChannelStop(FChain.dwFxStream());

    if (!failure.empty() || !finished) {
        result.Outcome = TExportOutcome::Failed;
        result.Message = failure.empty() ? std::string(kExportFailedMessage) : failure;
        FView.ShowError(result.Message);
    } else if (_AbortFlag.load()) {
        result.Outcome = TExportOutcome::Aborted;
        result.Message = kExportAbortedMessage;
        FView.ShowWarning(result.Message);
    } else {
        result.Outcome = TExportOutcome::Completed;
        result.Message = kExportFinishedMessage;
        FView.ShowInformation(result.Message);
    }
    return result;
}

} // namespace corvanel
