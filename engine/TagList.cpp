#include "engine/TagList.h"

#include <algorithm>
#include <cctype>

namespace corvanel {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

void TagList::SetText(std::string_view text) {
    FLines.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t brk = text.find_first_of("\r\n", start);
        if (brk == std::string_view::npos) {
            FLines.emplace_back(text.substr(start));
            break;
        }
        FLines.emplace_back(text.substr(start, brk - start));
        start = brk + 1;
        if (text[brk] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

std::string TagList::Text() const {
    std::string text;
    for (const std::string& line : FLines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string TagList::Name(std::size_t i) const {
    const std::string& line = FLines.at(i);
    const std::size_t sep = line.find(FSeparator);
    return sep == std::string::npos ? line : line.substr(0, sep);
}

std::string TagList::Value(std::string_view name) const {
    for (const std::string& line : FLines) {
        const std::size_t sep = line.find(FSeparator);
        if (sep != std::string::npos &&
            EqualsIgnoringCase(std::string_view(line).substr(0, sep), name))
            return line.substr(sep + 1);
    }
    return {};
}

} // namespace corvanel
