#include "tests/audio_encode/TestSupport.h"

#include "audio/encode/ChildProcess.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvanel::test {

void writeScript(const std::filesystem::path& path, const std::string& body) {
    {
        std::ofstream out(path, std::ios::binary);
        out << "#!/bin/sh\n"
            << "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$0.args\"\n"
            << body << "\n";
    }
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

std::string recordBody(int exitCode) {
    return "cat > \"$0.bytes\"\nexit " + std::to_string(exitCode);
}

std::vector<std::string> readRecordedArgs(const std::filesystem::path& script) {
    const std::string raw = ReadFile(script.string() + ".args");
    std::vector<std::string> args;
    std::size_t start = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\0') {
            args.push_back(raw.substr(start, i - start));
            start = i + 1;
        }
    }
    return args;
}

int runProgram(const std::vector<std::string>& argv) {
    std::error_code ec;
    audio::encode::ChildProcess child = audio::encode::ChildProcess::start(argv, ec);
    if (child.empty())
        return -1;
    const audio::encode::ExitStatus status = child.wait();
    return status.exited ? status.code : -1;
}

} // namespace corvanel::test
