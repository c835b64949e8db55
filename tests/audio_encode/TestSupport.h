// Helpers shared by the encoder tests: a recording encoder script written at test time, and
// running a program.
#pragma once

#include "tests/support/TempFolder.h"
#include "tests/support/Text.h"

#include <filesystem>
#include <string>
#include <vector>

namespace corvanel::test {

// Writes an executable shell script at `path` that stores its arguments (each followed by a
// NUL byte) in `path`.args, then runs `body` (default: copy standard input to `path`.bytes).
void writeScript(const std::filesystem::path& path, const std::string& body);
std::string recordBody(int exitCode = 0);

// Arguments as the recording script stored them, without argv[0].
std::vector<std::string> readRecordedArgs(const std::filesystem::path& script);

// Runs argv without a shell and returns its exit code (-1 if it could not start).
int runProgram(const std::vector<std::string>& argv);

} // namespace corvanel::test
