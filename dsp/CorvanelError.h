// The program's one exception type. Its message is Japanese text in UTF-8, shown to the
// user as it stands. Any thread may throw or catch it.
#pragma once

#include <stdexcept>
#include <string>

namespace corvanel {

class CorvanelError : public std::runtime_error {
  public:
    explicit CorvanelError(const std::string& message) : std::runtime_error(message) {}
    explicit CorvanelError(const char* message) : std::runtime_error(message) {}
};

} // namespace corvanel
