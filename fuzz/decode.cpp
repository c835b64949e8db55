// The decoding path through the audio layer, on any file: each opener either refuses it or
// gives a stream that ends with its length equal to what it delivered; that is as many
// frames as FFmpeg's own decoding loop gives, unless the stream says its decoding stopped on
// damage; and the tags read from it hold no control characters.
#include "fuzz/FuzzInput.h"
#include "audio/include/DecodeOutcome.h"
#include "audio/include/bass.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Enough for any small input of a real format; a stream that gives more is not compared.
constexpr std::uint64_t kMaxBytes = 16u << 20;

// Frames FFmpeg's decoding loop gives for the file's best audio stream: every packet sent,
// every decoding error passed over, until the demuxer stops. -1 when it cannot be opened or
// when the sample rate changes on the way.
std::int64_t ReferenceFrames(const std::string& path) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return -1;
    std::int64_t frames = -1;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const int index = avformat_find_stream_info(format, nullptr) < 0
                          ? -1
                          : av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    const AVCodec* decoder =
        index < 0 ? nullptr : avcodec_find_decoder(format->streams[index]->codecpar->codec_id);
    if (decoder != nullptr && (codec = avcodec_alloc_context3(decoder)) != nullptr &&
        avcodec_parameters_to_context(codec, format->streams[index]->codecpar) >= 0 &&
        avcodec_open2(codec, decoder, nullptr) >= 0) {
        frames = 0;
        int rate = -1;
        bool rateChanged = false;
        auto drain = [&] {
            for (int errors = 0; errors < 1000;) {
                const int ret = avcodec_receive_frame(codec, frame);
                if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
                    return;
                if (ret < 0) {
                    ++errors;
                    continue;
                }
                if (frame->nb_samples > 0 && frame->sample_rate > 0) {
                    rateChanged |= rate >= 0 && rate != frame->sample_rate;
                    rate = frame->sample_rate;
                    frames += frame->nb_samples;
                }
                av_frame_unref(frame);
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index) {
                avcodec_send_packet(codec, packet);
                drain();
            }
            av_packet_unref(packet);
        }
        avcodec_send_packet(codec, nullptr);
        drain();
        if (rateChanged)
            frames = -1;
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return frames;
}

bool HasControlCharacters(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path =
        (std::filesystem::temp_directory_path() /
         ("corvanel_fuzz_decode_" + std::to_string(::getpid()) + ".bin"))
            .string();
    av_log_set_level(AV_LOG_QUIET);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::int64_t reference = -2; // not yet known
    for (auto opener :
         {BASS_StreamCreateFile, BASS_AAC_StreamCreateFile, BASS_WMA_StreamCreateFile}) {
        const HSTREAM h = opener(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
        if (h == 0)
            continue;
        BASS_CHANNELINFO info{};
        CORVANEL_FUZZ_CHECK(BASS_ChannelGetInfo(h, &info) && info.chans > 0 && info.freq > 0);

        const std::string tags = TAGS_Read(h, "%TITL|%ARTI|%ALBM|%GNRE|%YEAR");
        CORVANEL_FUZZ_CHECK(!HasControlCharacters(tags));

        std::vector<char> block(1 << 16);
        std::uint64_t bytes = 0;
        for (DWORD n;
             bytes <= kMaxBytes &&
             (n = BASS_ChannelGetData(h, block.data(), static_cast<DWORD>(block.size()))) !=
                 static_cast<DWORD>(-1);)
            bytes += n;
        if (bytes <= kMaxBytes) {
            CORVANEL_FUZZ_CHECK(BASS_ChannelGetLength(h, BASS_POS_BYTE) == bytes);
            CORVANEL_FUZZ_CHECK(BASS_ChannelGetPosition(h, BASS_POS_BYTE) == bytes);
            if (!corvanel::audio::decodeStoppedEarly(h)) {
                if (reference == -2)
                    reference = ReferenceFrames(path);
                if (reference >= 0)
                    CORVANEL_FUZZ_CHECK(static_cast<std::int64_t>(bytes / (2 * info.chans)) ==
                                        reference);
            }
        }
        BASS_StreamFree(h);
    }
    return 0;
}
