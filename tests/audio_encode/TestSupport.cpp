#include "tests/audio_encode/TestSupport.h"

#include "audio/encode/ChildProcess.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvanel::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvanel-enc-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

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

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> readRecordedArgs(const std::filesystem::path& script) {
    const std::string raw = readFile(script.string() + ".args");
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
