#include "tests/support/CaseName.h"

#include <charconv>
#include <cmath>

namespace corvanel::test {

std::string CaseName(std::string_view text) {
    if (text.empty())
        return "Empty";
    std::string name;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        const bool alnum = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= 'a' && byte <= 'z');
        if (alnum)
            name += ch;
        else if (ch == '-')
            name += "Minus";
        else if (ch == '+')
            name += "Plus";
        else if (name.empty() || name.back() != '_')
            name += '_';
    }
    return name;
}

std::string CaseName(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "MinusInfinity" : "Infinity";
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return CaseName(std::string_view(text, static_cast<std::size_t>(end - text)));
}

} // namespace corvanel::test
