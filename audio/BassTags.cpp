// TAGS_Read: the tag values of a file stream's source, put into a format text.

#include "audio/include/bass.h"
#include "audio/internal/FileStream.h"
#include "audio/internal/Registry.h"
#include "audio/tags/TagReader.h"

#include <string>

namespace corvanel::audio {
namespace {

thread_local std::string tlsTagText;

} // namespace
} // namespace corvanel::audio

using namespace corvanel::audio;

extern "C" DWORD TAGS_GetVersion(void) {
    return CORVANEL_AUDIO_VERSION;
}

extern "C" const char* TAGS_Read(DWORD handle, const char* fmt) {
    tlsTagText.clear();
    if (fmt == nullptr) {
        setError(BASS_ERROR_ILLPARAM);
        return tlsTagText.c_str();
    }
    const auto stream = lookupAs<FileStream>(handle);
    if (!stream) {
        setError(BASS_ERROR_HANDLE);
        return tlsTagText.c_str();
    }
    tags::TagValues values;
    if (auto read = tags::readTags(std::filesystem::u8path(stream->path())))
        values = std::move(*read);
    tlsTagText = tags::expandTagFormat(fmt, values);
    setError(0);
    return tlsTagText.c_str();
}
