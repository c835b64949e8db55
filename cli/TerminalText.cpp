#include "cli/TerminalText.h"

#include <cstring>

namespace corvanel::cli {

namespace {

struct TRange {
    char32_t First;
    char32_t Last;
};

// Characters drawn over the one before them.
constexpr TRange kZeroWidth[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x0610, 0x061A}, {0x064B, 0x065F},
    {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},
    {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x2064}, {0x20D0, 0x20FF}, {0x302A, 0x302D},
    {0x3099, 0x309A}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF}, {0xE0100, 0xE01EF},
};

// East Asian wide and fullwidth characters, and the emoji blocks terminals draw wide.
constexpr TRange kDoubleWidth[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x26AA, 0x26AB},
    {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x2753, 0x2755},   {0x2757, 0x2757},
    {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},
    {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},   {0x3041, 0x3247},
    {0x3250, 0x4DBF},   {0x4E00, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A},
    {0x1F200, 0x1F251}, {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB},
    {0x1F90C, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

template <std::size_t N> bool Among(char32_t c, const TRange (&ranges)[N]) {
    std::size_t low = 0, high = N;
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (c > ranges[mid].Last)
            low = mid + 1;
        else if (c < ranges[mid].First)
            high = mid;
        else
            return true;
    }
    return false;
}

// The character starting at `at`, and how many bytes it takes; an invalid sequence is one
// byte of its own.
char32_t Decode(std::string_view text, std::size_t at, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    length = 1;
    std::size_t extra = 0;
    char32_t c = lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        c = lead & 0x07;
    } else {
        return lead >= 0x80 ? 0xFFFD : c;
    }
    if (at + extra >= text.size())
        return 0xFFFD;
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kShortest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0xFFFD;
    length = extra + 1;
    return c;
}

} // namespace

int CharacterColumns(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return 0;
    if (Among(c, kZeroWidth))
        return 0;
    return Among(c, kDoubleWidth) ? 2 : 1;
}

int TextColumns(std::string_view utf8) {
    int columns = 0;
    for (std::size_t at = 0, length = 0; at < utf8.size(); at += length)
        columns += CharacterColumns(Decode(utf8, at, length));
    return columns;
}

std::string FitColumns(std::string_view utf8, int columns) {
    int used = 0;
    for (std::size_t at = 0, length = 0; at < utf8.size(); at += length) {
        used += CharacterColumns(Decode(utf8, at, length));
        if (used > columns)
            return std::string(utf8.substr(0, at));
    }
    return std::string(utf8);
}

bool CursorCanMove(const char* term) {
    return term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}

} // namespace corvanel::cli
