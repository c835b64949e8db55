#include "tests/audio_encode/TagFixtures.h"

#include "tests/audio_encode/TestSupport.h"

namespace corvanel::test {

bool haveFfmpeg() {
    return std::filesystem::exists("/usr/bin/ffmpeg");
}

bool makeTaggedFile(const std::filesystem::path& path, const std::string& codec,
                    const TagSet& tags) {
    std::vector<std::string> argv{"/usr/bin/ffmpeg",
                                  "-v",
                                  "error",
                                  "-nostdin",
                                  "-y",
                                  "-f",
                                  "lavfi",
                                  "-i",
                                  "anullsrc=r=44100:cl=stereo",
                                  "-t",
                                  "0.2",
                                  "-map_metadata",
                                  "-1",
                                  "-fflags",
                                  "+bitexact"};
    const std::pair<const char*, const std::string*> fields[] = {{"title", &tags.title},
                                                                 {"artist", &tags.artist},
                                                                 {"album", &tags.album},
                                                                 {"genre", &tags.genre},
                                                                 {"date", &tags.date}};
    for (const auto& [key, value] : fields) {
        if (!value->empty()) {
            argv.push_back("-metadata");
            argv.push_back(std::string(key) + "=" + *value);
        }
    }
    argv.insert(argv.end(), {"-c:a", codec, path.string()});
    return runProgram(argv) == 0 && std::filesystem::exists(path);
}

} // namespace corvanel::test
