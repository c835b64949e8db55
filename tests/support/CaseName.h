#pragma once
// Names for parameterised test cases: ctest lists them, so they must read well and stay the
// same when rows are added.
#include <string>
#include <string_view>

namespace corvanel::test {

// Text made into a case name: letters and digits stay, a sign is spelt out ("Minus", "Plus")
// and every other run of bytes (spaces, points, quotes, non-ASCII) becomes one '_'.
// Empty text is "Empty".
std::string CaseName(std::string_view text);

// A number in its shortest exact form, made into a case name the same way:
// 2.5 -> "2_5", -1.5 -> "Minus1_5", 1e6 -> "1ePlus06", NaN -> "NaN". Put a word before it
// (`"Seconds" + CaseName(s)`): a name of digits alone reads as a case's index.
std::string CaseName(double value);

// Text that would not make a readable name of its own (quotes, spaces, paths), under one.
struct NamedText {
    const char* name;
    const char* text;
};

// For a table whose rows carry a `name`: the generator that names each case after it.
inline constexpr auto ByNameField = [](const auto& row) { return std::string(row.param.name); };

} // namespace corvanel::test
