#include "base/CommandLine.h"

namespace corvanel {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> splitCommandLine(std::string_view text) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = text.size();

    while (i < n && isBlank(text[i]))
        ++i;
    if (i == n)
        return args;

    // The program name takes no escapes, so a folder ending in a backslash cannot swallow
    // the closing quote; a doubled quote lets a folder name hold a quote of its own.
    std::string program;
    if (text[i] == '"') {
        ++i;
        while (i < n) {
            if (text[i] == '"') {
                if (i + 1 < n && text[i + 1] == '"') {
                    program += '"';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            program += text[i++];
        }
    } else {
        while (i < n && !isBlank(text[i]))
            program += text[i++];
    }
    args.push_back(std::move(program));

    while (true) {
        while (i < n && isBlank(text[i]))
            ++i;
        if (i == n)
            break;

        std::string arg;
        bool quoted = false;
        while (i < n) {
            const char c = text[i];
            if (c == '\\') {
                std::size_t slashes = 0;
                while (i < n && text[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && text[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                    // An even count leaves the quote to the next turn of the loop.
                } else {
                    arg.append(slashes, '\\');
                }
            } else if (c == '"') {
                ++i;
                if (quoted && i < n && text[i] == '"') {
                    arg += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
            } else if (isBlank(c) && !quoted) {
                break;
            } else {
                arg += c;
                ++i;
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

} // namespace corvanel
