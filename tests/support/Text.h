#pragma once
// Text and file bytes for tests.
#include <filesystem>
#include <string>
#include <string_view>

namespace corvanel::test {

// The bytes of text in UTF-16 with its byte order mark first.
std::string Utf16WithMark(std::u16string_view text, bool bigEndian);

// A file's whole contents; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& file);

} // namespace corvanel::test
