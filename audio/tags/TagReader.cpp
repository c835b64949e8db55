#include "audio/tags/TagReader.h"

#include "audio/internal/FfmpegLimits.h"

#include <array>
#include <cctype>
#include <memory>
#include <utility>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

namespace corvanel::audio::tags {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};

// ID3v1 text is Latin-1 and reaches us unconverted; anything that is not valid UTF-8 is
// taken as Latin-1 so that callers always get valid UTF-8.
bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr std::array<char32_t, 4> minimum{0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string latin1ToUtf8(std::string_view s) {
    std::string out;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Callers carry values as lines of name, separator, value: a line break or a control
// character inside a value would cut it or forge another tag. A line break (CR LF counted
// once) and every other control character become a space.
std::string withoutControls(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
            continue;
        out += (c < 0x20 || c == 0x7F) ? ' ' : s[i];
    }
    return out;
}

std::string cleanText(const char* value) {
    std::string s = value != nullptr ? value : "";
    return withoutControls(isValidUtf8(s) ? s : latin1ToUtf8(s));
}

// First non-empty value among keys, container metadata first, then the audio stream's (Ogg
// keeps its comments there).
std::string lookUp(const AVFormatContext* ctx, const AVStream* audio,
                   std::initializer_list<const char*> keys) {
    const std::array<const AVDictionary*, 2> dicts{ctx->metadata,
                                                   audio != nullptr ? audio->metadata : nullptr};
    for (const AVDictionary* dict : dicts) {
        if (dict == nullptr)
            continue;
        for (const char* key : keys) {
            const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0);
            if (e != nullptr) {
                std::string v = cleanText(e->value);
                if (!v.empty())
                    return v;
            }
        }
    }
    return {};
}

} // namespace

std::string yearFromDate(std::string_view date) {
    for (std::size_t i = 0; i + 4 <= date.size(); ++i) {
        bool digits = true;
        for (std::size_t k = 0; k < 4 && digits; ++k)
            digits = std::isdigit(static_cast<unsigned char>(date[i + k])) != 0;
        if (digits)
            return std::string(date.substr(i, 4));
    }
    while (!date.empty() && std::isspace(static_cast<unsigned char>(date.front())))
        date.remove_prefix(1);
    while (!date.empty() && std::isspace(static_cast<unsigned char>(date.back())))
        date.remove_suffix(1);
    return std::string(date);
}

std::optional<TagValues> readTags(const std::filesystem::path& path) {
    // A pipe has one reader, its decoder: opening it here would take the data away.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    setUpFfmpeg();
    AVFormatContext* raw = nullptr;
    // FFmpeg takes UTF-8 file names on every platform.
    const std::u8string name = path.u8string();
    const std::string utf8(name.begin(), name.end());
    if (avformat_open_input(&raw, utf8.c_str(), nullptr, nullptr) < 0)
        return std::nullopt;
    std::unique_ptr<AVFormatContext, FormatCloser> ctx(raw);

    const AVStream* audio = nullptr;
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        if (ctx->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            audio = ctx->streams[i];
            break;
        }
    }

    TagValues v;
    v.title = lookUp(ctx.get(), audio, {"title"});
    v.artist = lookUp(ctx.get(), audio, {"artist"});
    v.album = lookUp(ctx.get(), audio, {"album"});
    v.genre = lookUp(ctx.get(), audio, {"genre"});
    const std::string date = lookUp(ctx.get(), audio, {"date", "year", "TYER", "TDRC", "WM/Year"});
    v.year = yearFromDate(date);
    return v;
}

std::string expandTagFormat(std::string_view format, const TagValues& values) {
    static constexpr std::array<std::pair<std::string_view, std::string TagValues::*>, 5> codes{{
        {"%TITL", &TagValues::title},
        {"%ARTI", &TagValues::artist},
        {"%ALBM", &TagValues::album},
        {"%GNRE", &TagValues::genre},
        {"%YEAR", &TagValues::year},
    }};
    std::string out;
    out.reserve(format.size());
    std::size_t i = 0;
    while (i < format.size()) {
        bool replaced = false;
        if (format[i] == '%') {
            for (const auto& [code, member] : codes) {
                if (format.substr(i, code.size()) == code) {
                    out += values.*member;
                    i += code.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += format[i++];
    }
    return out;
}

} // namespace corvanel::audio::tags
