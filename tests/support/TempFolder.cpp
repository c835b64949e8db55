#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace corvanel::test {

namespace {
// Parameterised names hold '/' and may hold anything a file name must not.
std::string FileNamePart(const std::string& text) {
    std::string out;
    for (const char c : text)
        out += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
    return out.substr(0, 80);
}
} // namespace

TempFolder::TempFolder(const std::string& tag) {
    std::string name = tag;
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        name = std::string(info->test_suite_name()) + "_" + info->name();
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("corvanel_" + FileNamePart(name) + "_XXXXXX"))
            .string();
    // mkdtemp picks a name no other process holds and creates it in one step.
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder from " + pattern);
    FPath = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}

} // namespace corvanel::test
