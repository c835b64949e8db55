#pragma once
// A folder of a test's own under the temporary directory, removed with the object. The name
// holds the running test's name (or a tag) and a random part, so two builds running their
// suites at once, or two folders of one test, never share files.
#include <filesystem>
#include <string>

namespace corvanel::test {

class TempFolder {
  public:
    // Named after the running test; after `tag` outside a test (a program-wide folder).
    explicit TempFolder(const std::string& tag = "test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::filesystem::path operator/(const std::string& name) const { return FPath / name; }

  private:
    std::filesystem::path FPath;
};

} // namespace corvanel::test
