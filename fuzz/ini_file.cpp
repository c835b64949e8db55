// The settings file's reader and writer: a rewrite reads back as itself, and every write
// is either refused (changing nothing) or reads back as the same section, key and value.
// Input: file bytes, then section, key and value, separated by zero bytes.
#include "fuzz/FuzzInput.h"
#include "controls/IniFile.h"

#include <cmath>
#include <cstring>
#include <string>

using corvanel::TIniFile;

namespace {

// The text as the file would hold it; a UTF-8 mark keeps the bytes as they are.
TIniFile Reread(const TIniFile& file) {
    TIniFile again('.');
    again.LoadFromBytes("\xEF\xBB\xBF" + file.ToText());
    return again;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto f = corvanel::fuzz::SplitFields(data, size, 4);
    TIniFile file('.');
    file.LoadFromBytes(f[0]);
    CORVANEL_FUZZ_CHECK(Reread(file).ToText() == file.ToText());

    const std::string before = file.ToText();
    if (file.WriteString(f[1], f[2], f[3])) {
        const TIniFile back = Reread(file);
        CORVANEL_FUZZ_CHECK(back.ReadString(f[1], f[2]) == std::string(f[3]));
        CORVANEL_FUZZ_CHECK(back.ToText() == file.ToText());
    } else {
        CORVANEL_FUZZ_CHECK(file.ToText() == before);
    }

    // Any double, its bits taken from the value's first bytes.
    if (f[3].size() >= sizeof(double)) {
        double value = 0.0;
        std::memcpy(&value, f[3].data(), sizeof value);
        if (file.WriteFloat(f[1], f[2], value)) {
            // 15 significant digits (exact where those would not read back).
            const double back = Reread(file).ReadFloat(f[1], f[2], NAN);
            CORVANEL_FUZZ_CHECK(std::fabs(back - value) <= 1e-14 * std::fabs(value));
        } else {
            CORVANEL_FUZZ_CHECK(!std::isfinite(value) || file.ToText() == before);
        }
    }
    return 0;
}
