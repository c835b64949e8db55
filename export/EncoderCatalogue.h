#pragma once
// The encoder catalogue "encoder.inf": an INI-style list of output encoders, read afresh at
// every output choice.
//
// Sections (names and keys without regard to case), all keyed by the encoder name:
// "ENCODERS" (description for the save dialog), "EXTENSION" (output extension with its dot),
// "PARAMETER-LO" / "-MD" / "-HI" (command-line templates per quality level). A name beginning
// with "<" is built in and names no program file; "<WAVE>" is the built-in WAV writer.
//
// Text is UTF-8 inside. Threads: any; the program uses it on the UI thread.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel {

inline constexpr std::string_view kEncodersSection = "ENCODERS";
inline constexpr std::string_view kExtensionSection = "EXTENSION";
inline constexpr std::string_view kTemplateSections[3] = {"PARAMETER-LO", "PARAMETER-MD",
                                                          "PARAMETER-HI"};
inline constexpr std::string_view kCatalogueFileName = "encoder.inf";
inline constexpr std::string_view kWaveEncoder = "<WAVE>";

// One line of a section, split at its first "=" and trimmed. A line without "=" has an empty
// key and an empty value.
struct TCatalogueLine {
    std::string Key;
    std::string Value;
    bool operator==(const TCatalogueLine&) const = default;
};

class TEncoderCatalogue {
  public:
    // A missing or unreadable file gives an empty catalogue.
    static TEncoderCatalogue LoadFromFile(const std::filesystem::path& file);
    // Raw file content: a byte-order mark selects UTF-8 or UTF-16; without one the bytes are
    // in the locale's encoding. An encoder with a template where a tag value could split
    // (TemplateKeepsValuesWhole) is left out of every section, with a line on standard error.
    static TEncoderCatalogue FromBytes(std::string_view bytes);

    // The section's lines in file order; empty when the section is missing.
    const std::vector<TCatalogueLine>& Lines(std::string_view section) const;
    // The value of the first line with that key; nullopt when there is none or key is empty.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  private:
    void LeaveOutUnsafeTemplates();

    struct TSection {
        std::string Name;
        std::vector<TCatalogueLine> Lines;
    };
    std::vector<TSection> FSections;
};

// Whether an encoder name is the built-in WAV writer ("<WAVE>", any case).
bool IsWaveEncoder(std::string_view encodeProgram);

} // namespace corvanel
