#include "audio/internal/FileDecoder.h"

#include "audio/include/bass.h"
#include "audio/internal/FfmpegLimits.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <vector>

namespace corvanel::audio {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwrFreer {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
// Each owner is empty when nothing is open.
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;

// A run of undecodable packets this long ends the stream (as stopped on an error) instead of
// looping over garbage.
constexpr int kMaxConsecutiveErrors = 500;

bool among(AVCodecID id, std::initializer_list<AVCodecID> ids) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool containerAccepted(OpenerKind kind, const char* name) {
    const std::string n = name ? name : "";
    switch (kind) {
    case OpenerKind::Generic:
        return n == "wav" || n == "aiff" || n == "mp3" || n == "ogg" || n == "flac";
    case OpenerKind::Aac:
        return n == "aac" || n.find("mp4") != std::string::npos;
    case OpenerKind::Wma:
        return n == "asf" || n == "asf_o";
    }
    return false;
}

bool codecAccepted(OpenerKind kind, AVCodecID id) {
    switch (kind) {
    case OpenerKind::Generic:
        return among(id, {AV_CODEC_ID_PCM_S16LE, AV_CODEC_ID_PCM_S16BE, AV_CODEC_ID_PCM_U8,
                          AV_CODEC_ID_PCM_S8,    AV_CODEC_ID_PCM_S24LE, AV_CODEC_ID_PCM_S24BE,
                          AV_CODEC_ID_PCM_S32LE, AV_CODEC_ID_PCM_S32BE, AV_CODEC_ID_PCM_F32LE,
                          AV_CODEC_ID_PCM_F32BE, AV_CODEC_ID_PCM_F64LE, AV_CODEC_ID_PCM_F64BE,
                          AV_CODEC_ID_PCM_ALAW,  AV_CODEC_ID_PCM_MULAW, AV_CODEC_ID_MP1,
                          AV_CODEC_ID_MP2,       AV_CODEC_ID_MP3,       AV_CODEC_ID_VORBIS,
                          AV_CODEC_ID_FLAC,      AV_CODEC_ID_OPUS});
    case OpenerKind::Aac:
        return id == AV_CODEC_ID_AAC;
    case OpenerKind::Wma:
        return among(id, {AV_CODEC_ID_WMAV1, AV_CODEC_ID_WMAV2, AV_CODEC_ID_WMAPRO,
                          AV_CODEC_ID_WMALOSSLESS, AV_CODEC_ID_WMAVOICE});
    }
    return false;
}

uint32_t ctypeOf(const std::string& container, AVCodecID id) {
    if (container == "wav")
        return BASS_CTYPE_STREAM_WAV;
    if (container == "aiff")
        return BASS_CTYPE_STREAM_AIFF;
    if (container == "aac")
        return BASS_CTYPE_STREAM_AAC;
    if (container.find("mp4") != std::string::npos)
        return BASS_CTYPE_STREAM_MP4;
    if (container.rfind("asf", 0) == 0)
        return BASS_CTYPE_STREAM_WMA;
    switch (id) {
    case AV_CODEC_ID_MP3:
        return BASS_CTYPE_STREAM_MP3;
    case AV_CODEC_ID_MP1:
    case AV_CODEC_ID_MP2:
        return BASS_CTYPE_STREAM_MP2;
    case AV_CODEC_ID_FLAC:
        return BASS_CTYPE_STREAM_FLAC;
    case AV_CODEC_ID_OPUS:
        return BASS_CTYPE_STREAM_OPUS;
    default:
        return BASS_CTYPE_STREAM_OGG;
    }
}

} // namespace

struct FileDecoder::Impl {
    FormatPtr format;
    CodecPtr codec;
    SwrPtr swr;
    PacketPtr packet{av_packet_alloc()};
    FramePtr frame{av_frame_alloc()};
    int streamIndex = -1;
    uint32_t rate = 0, channels = 0, ctype = 0, origres = 0;
    int64_t lengthFrames = -1;
    int64_t startTime = 0; // stream time base

    // The converter's input as it was set up; a change re-creates it.
    int swrInFormat = -1, swrInRate = 0;
    AVChannelLayout swrInLayout{};

    std::vector<int16_t> pending; // converted, not yet read
    size_t pendingPos = 0;        // in samples
    bool demuxEnded = false;
    bool flushSent = false;
    bool decoderEnded = false;
    bool stoppedOnError = false; // the end came from data that could not be read or decoded
    int64_t skipTarget = -1;     // after a seek: drop output before this frame

    ~Impl() { av_channel_layout_uninit(&swrInLayout); }

    bool setupConverter(const AVFrame* f) {
        if (swr && f->format == swrInFormat && f->sample_rate == swrInRate &&
            av_channel_layout_compare(&f->ch_layout, &swrInLayout) == 0)
            return true;
        AVChannelLayout in{}, out{};
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || f->ch_layout.nb_channels <= 0)
            av_channel_layout_default(&in, f->ch_layout.nb_channels > 0
                                               ? f->ch_layout.nb_channels
                                               : static_cast<int>(channels));
        else
            av_channel_layout_copy(&in, &f->ch_layout);
        av_channel_layout_default(&out, static_cast<int>(channels));
        SwrContext* raw = nullptr;
        int err =
            swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_S16, static_cast<int>(rate), &in,
                                static_cast<AVSampleFormat>(f->format), f->sample_rate, 0, nullptr);
        swr.reset(raw);
        if (err >= 0 && swr)
            err = swr_init(swr.get());
        av_channel_layout_uninit(&out);
        av_channel_layout_uninit(&swrInLayout);
        swrInLayout = in;
        swrInFormat = f->format;
        swrInRate = f->sample_rate;
        if (err < 0) {
            swr.reset();
            return false;
        }
        return true;
    }

    // Appends the frame's samples to `pending`, minus what a seek asked to skip.
    void convert(const AVFrame* f) {
        if (f->nb_samples <= 0 || f->sample_rate <= 0 || !setupConverter(f))
            return;
        const int capacity = swr_get_out_samples(swr.get(), f->nb_samples);
        if (capacity <= 0)
            return;
        if (pendingPos == pending.size()) {
            pending.clear();
            pendingPos = 0;
        }
        const size_t old = pending.size();
        pending.resize(old + static_cast<size_t>(capacity) * channels);
        uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(pending.data() + old)};
        const int got = swr_convert(swr.get(), outPlanes, capacity,
                                    const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
        pending.resize(old + static_cast<size_t>(std::max(got, 0)) * channels);
        if (skipTarget >= 0) {
            int64_t start = skipTarget; // timestamps missing: take the seek as exact
            const int64_t ts = f->best_effort_timestamp;
            if (ts != AV_NOPTS_VALUE) {
                const AVRational tb = format->streams[streamIndex]->time_base;
                start = av_rescale_q(ts - startTime, tb, AVRational{1, static_cast<int>(rate)});
            }
            const int64_t drop = std::clamp<int64_t>(skipTarget - start, 0, std::max(got, 0));
            pending.erase(pending.begin() + static_cast<ptrdiff_t>(old),
                          pending.begin() + static_cast<ptrdiff_t>(old + drop * channels));
            skipTarget = drop < got ? -1 : start + got < skipTarget ? skipTarget : -1;
        }
    }

    // Decodes one more frame into `pending`; false at the end.
    bool decodeMore() {
        int errors = 0;
        while (!decoderEnded) {
            int ret = avcodec_receive_frame(codec.get(), frame.get());
            if (ret == 0) {
                convert(frame.get());
                av_frame_unref(frame.get());
                return true;
            }
            if (ret == AVERROR_EOF) {
                decoderEnded = true;
                break;
            }
            if (ret != AVERROR(EAGAIN)) {
                // The packet did not decode: go on with the next one, as sending does.
                if (++errors > kMaxConsecutiveErrors) {
                    decoderEnded = stoppedOnError = true;
                    break;
                }
                continue; // the decoder asks for the next packet once this one is dropped
            }
            if (demuxEnded) {
                if (flushSent) {
                    decoderEnded = true;
                    break;
                }
                avcodec_send_packet(codec.get(), nullptr);
                flushSent = true;
                continue;
            }
            ret = av_read_frame(format.get(), packet.get());
            if (ret < 0) {
                demuxEnded = true;
                stoppedOnError = ret != AVERROR_EOF;
                continue;
            }
            if (packet->stream_index == streamIndex) {
                ret = avcodec_send_packet(codec.get(), packet.get());
                if (ret < 0 && ret != AVERROR(EAGAIN) && ++errors > kMaxConsecutiveErrors)
                    demuxEnded = stoppedOnError = true;
            }
            av_packet_unref(packet.get());
        }
        return false;
    }

    size_t pendingFrames() const { return (pending.size() - pendingPos) / channels; }
};

FileDecoder::FileDecoder() : impl_(new Impl) {}
FileDecoder::~FileDecoder() = default;

std::unique_ptr<FileDecoder> FileDecoder::open(const std::string& utf8Path, OpenerKind kind,
                                               int& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fs::u8path(utf8Path);
    const fs::file_status status = fs::status(path, ec);
    // A pipe is decoded as it comes, in the formats that are recognised without seeking.
    const bool pipe = fs::is_fifo(status);
    if (utf8Path.empty() || !(fs::is_regular_file(status) || pipe)) {
        error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    if (!pipe && !std::ifstream(path, std::ios::binary).is_open()) {
        error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    if (!pipe && fs::file_size(path, ec) == 0) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }

    setUpFfmpeg();

    std::unique_ptr<FileDecoder> d(new FileDecoder);
    Impl& m = *d->impl_;
    if (!m.packet || !m.frame) {
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, utf8Path.c_str(), nullptr, nullptr) < 0) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    m.format.reset(raw);
    const std::string container = m.format->iformat->name;
    // A pipe cannot be read again by the next opener: the first takes what the AAC one would.
    const bool asAac = pipe && kind == OpenerKind::Generic &&
                       containerAccepted(OpenerKind::Aac, container.c_str());
    if (asAac)
        kind = OpenerKind::Aac;
    if (!containerAccepted(kind, container.c_str()) ||
        avformat_find_stream_info(m.format.get(), nullptr) < 0) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    m.streamIndex = av_find_best_stream(m.format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (m.streamIndex < 0) {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    AVStream* stream = m.format->streams[m.streamIndex];
    const AVCodecParameters* par = stream->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codecAccepted(kind, par->codec_id) || !codec) {
        error = BASS_ERROR_CODEC;
        return nullptr;
    }
    m.codec.reset(avcodec_alloc_context3(codec));
    if (!m.codec || avcodec_parameters_to_context(m.codec.get(), par) < 0 ||
        avcodec_open2(m.codec.get(), codec, nullptr) < 0) {
        error = BASS_ERROR_CODEC;
        return nullptr;
    }
    const int rate = m.codec->sample_rate > 0 ? m.codec->sample_rate : par->sample_rate;
    const int chans = m.codec->ch_layout.nb_channels > 0 ? m.codec->ch_layout.nb_channels
                                                         : par->ch_layout.nb_channels;
    if (rate <= 0 || chans <= 0 || chans > 32) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    m.rate = static_cast<uint32_t>(rate);
    m.channels = static_cast<uint32_t>(chans);
    m.ctype = ctypeOf(container, par->codec_id);
    const int bits = av_get_bits_per_sample(par->codec_id);
    m.origres = bits > 0 ? static_cast<uint32_t>(bits) : 0;
    m.startTime = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        m.lengthFrames = av_rescale_q(stream->duration, stream->time_base, AVRational{1, rate});
    else if (m.format->duration != AV_NOPTS_VALUE && m.format->duration > 0)
        m.lengthFrames = av_rescale(m.format->duration, rate, AV_TIME_BASE);

    // A file that does not give one frame of audio is not a file of this format.
    while (m.pendingFrames() == 0)
        if (!m.decodeMore()) {
            error = BASS_ERROR_FILEFORM;
            return nullptr;
        }
    return d;
}

uint32_t FileDecoder::rate() const {
    return impl_->rate;
}
uint32_t FileDecoder::channels() const {
    return impl_->channels;
}
uint32_t FileDecoder::ctype() const {
    return impl_->ctype;
}
uint32_t FileDecoder::origres() const {
    return impl_->origres;
}
int64_t FileDecoder::lengthFrames() const {
    return impl_->lengthFrames;
}
bool FileDecoder::stoppedOnError() const {
    return impl_->stoppedOnError;
}

size_t FileDecoder::read(int16_t* out, size_t frames) {
    Impl& m = *impl_;
    size_t done = 0;
    while (done < frames) {
        if (m.pendingFrames() == 0 && !m.decodeMore())
            break;
        const size_t n = std::min(frames - done, m.pendingFrames());
        std::memcpy(out + done * m.channels, m.pending.data() + m.pendingPos,
                    n * m.channels * sizeof(int16_t));
        m.pendingPos += n * m.channels;
        done += n;
    }
    return done;
}

bool FileDecoder::seek(int64_t target) {
    Impl& m = *impl_;
    AVStream* stream = m.format->streams[m.streamIndex];
    const int64_t ts = m.startTime + av_rescale_q(target, AVRational{1, static_cast<int>(m.rate)},
                                                  stream->time_base);
    if (avformat_seek_file(m.format.get(), m.streamIndex, INT64_MIN, ts, ts, 0) < 0 &&
        av_seek_frame(m.format.get(), m.streamIndex, ts, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(m.codec.get());
    m.swr.reset(); // drops samples it held back from before the seek
    m.pending.clear();
    m.pendingPos = 0;
    m.demuxEnded = m.flushSent = m.decoderEnded = m.stoppedOnError = false;
    m.skipTarget = target;
    return true;
}

} // namespace corvanel::audio
