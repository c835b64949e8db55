#include "export/SameFile.h"

#include <filesystem>
#include <system_error>

namespace corvanel {

namespace fs = std::filesystem;

namespace {

fs::path Utf8Path(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

} // namespace

bool SameFile(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty())
        return false;
    const fs::path pa = Utf8Path(a), pb = Utf8Path(b);
    std::error_code ec;
    // Device and inode; fails harmlessly when either does not exist.
    if (fs::equivalent(pa, pb, ec) && !ec)
        return true;
    ec.clear();
    const fs::path ca = fs::weakly_canonical(pa, ec);
    if (ec)
        return false;
    const fs::path cb = fs::weakly_canonical(pb, ec);
    return !ec && ca == cb;
}

} // namespace corvanel
