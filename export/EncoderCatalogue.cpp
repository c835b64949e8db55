#include "export/EncoderCatalogue.h"

#include "export/EncoderCommandLine.h"
#include "base/MarkedText.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

namespace corvanel {

using markedtext::EqualNoCase;
using markedtext::Trim;

TEncoderCatalogue TEncoderCatalogue::LoadFromFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return {};
    return FromBytes(bytes.str());
}

TEncoderCatalogue TEncoderCatalogue::FromBytes(std::string_view bytes) {
    const std::string text = markedtext::Decode(bytes).Text;
    TEncoderCatalogue catalogue;
    std::vector<TCatalogueLine>* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            current = nullptr;
            for (TSection& section : catalogue.FSections)
                if (EqualNoCase(section.Name, name))
                    current = &section.Lines;
            if (current == nullptr) {
                catalogue.FSections.push_back({std::string(name), {}});
                current = &catalogue.FSections.back().Lines;
            }
            continue;
        }
        if (current == nullptr)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            current->push_back({});
        else
            current->push_back({std::string(Trim(line.substr(0, equals))),
                                std::string(Trim(line.substr(equals + 1)))});
    }
    catalogue.LeaveOutUnsafeTemplates();
    return catalogue;
}

void TEncoderCatalogue::LeaveOutUnsafeTemplates() {
    std::vector<std::string> unsafe;
    for (std::string_view section : kTemplateSections) {
        for (const TCatalogueLine& line : Lines(section)) {
            if (line.Key.empty() || TemplateKeepsValuesWhole(line.Value))
                continue;
            const bool known = std::any_of(unsafe.begin(), unsafe.end(), [&](const auto& name) {
                return EqualNoCase(name, line.Key);
            });
            if (known)
                continue;
            unsafe.push_back(line.Key);
            std::cerr << kCatalogueFileName << ": encoder \"" << line.Key << "\" left out: in ["
                      << section
                      << "] a placeholder is inside quotes, after a backslash or before a quote, "
                         "where a tag value could split into more arguments\n";
        }
    }
    for (TSection& section : FSections)
        std::erase_if(section.Lines, [&](const TCatalogueLine& line) {
            return std::any_of(unsafe.begin(), unsafe.end(),
                               [&](const auto& name) { return EqualNoCase(name, line.Key); });
        });
}

const std::vector<TCatalogueLine>& TEncoderCatalogue::Lines(std::string_view section) const {
    static const std::vector<TCatalogueLine> none;
    for (const TSection& s : FSections)
        if (EqualNoCase(s.Name, section))
            return s.Lines;
    return none;
}

std::optional<std::string> TEncoderCatalogue::Value(std::string_view section,
                                                    std::string_view key) const {
    if (key.empty())
        return std::nullopt; // an empty key never names an encoder
    for (const TCatalogueLine& line : Lines(section))
        if (EqualNoCase(line.Key, key))
            return line.Value;
    return std::nullopt;
}

bool IsWaveEncoder(std::string_view encodeProgram) {
    return EqualNoCase(encodeProgram, kWaveEncoder);
}

} // namespace corvanel
