#pragma once
// The choice of the output file and of the encoder that writes it (the save-to command),
// without widgets: the window supplies the save dialog as a function and holds the state.
//
// Paths and texts are UTF-8. Threads: UI thread.
#include "export/EncoderCatalogue.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace corvanel {

// What an accepted choice leaves for the export run. Each accepted choice replaces Edit2,
// EncodeProgram and Encoders at once; a cancelled one changes nothing.
struct TExportState {
    std::string Edit2;         // full path of the output file; empty until the first choice
    std::string EncodeProgram; // encoder name of the chosen entry; empty: encoder unknown
    std::string EncodeDir;     // catalogue folder, ending in a path separator
    // Lines of "PARAMETER-LO", "-MD", "-HI" (encoder name = template), in file order.
    std::array<std::vector<TCatalogueLine>, 3> Encoders;
    // Selected item of the quality list: 0 high compression, 1 normal, 2 low compression.
    // Read when a run starts; not saved.
    int QualitySelecter = 1;
};

using TGenericValue = std::variant<std::monostate, bool, double, std::string>;

// Result holder passed as the sender of the output choice by the export run; GenericProp1
// becomes true only when a choice was accepted. The other two are not used.
class TObjectEx {
  public:
    TGenericValue GenericProp1;
    TGenericValue GenericProp2;
    TGenericValue GenericProp3;
};

// True only when GenericProp1 holds the boolean true.
bool OutputChosen(const TObjectEx& holder);

// Whether EncodeDir + name is an existing file (a link to one counts).
using TFileExists = std::function<bool(const std::string& path)>;
bool RegularFileExists(const std::string& path);

// The "addon.win" folders that may hold the encoder catalogue, each ending in a path
// separator, in the order they are tried: beside the program (a portable copy, the build
// tree), the user's own (under the XDG configuration folder), the installed one.
std::vector<std::string> EncoderFolderCandidates(const std::filesystem::path& executableFolder);
// The first candidate holding "encoder.inf"; the first candidate when none does.
std::string FirstEncoderFolder(const std::vector<std::string>& candidates,
                               const TFileExists& exists = RegularFileExists);
// EncodeDir: the first of the program's candidates holding a catalogue.
std::string EncoderFolder(const std::filesystem::path& executableFolder,
                          const TFileExists& exists = RegularFileExists);

// The save dialog's file types: "description (*ext)|*ext|" per offered "ENCODERS" line, in
// that section's order, a "|" in the description shown as the full-width "｜". A line is
// offered when its name and its "EXTENSION" value are both non-empty, the extension holds no
// "|" and the name is built in ("<...") or names an existing file in encodeDir.
std::string SaveDialogFilter(const TEncoderCatalogue& catalogue, std::string_view encodeDir,
                             const TFileExists& exists = RegularFileExists);

// The filter's pairs (display text, pattern), for toolkits that take them apart.
std::vector<std::pair<std::string, std::string>> SplitDialogFilter(std::string_view filter);

// The file-name part of a path, after its last separator.
std::string_view FileNamePart(std::string_view path);
// The extension of the path's file name from its last dot on, the dot included; empty when
// the name has no dot.
std::string_view FileExtension(std::string_view path);
// "song.mp3" -> "song_vr.wav"; "" -> "_vr.wav"; a name without a dot gets "_vr.wav" added.
std::string DefaultOutputName(std::string_view sourcePath);

// Steps of an accepted choice: the output path, the three template lists and the encoder,
// which is the key of the first "EXTENSION" line whose value equals the chosen path's
// extension without regard to case (whether or not the entry was offered).
void AcceptOutputChoice(TExportState& state, const TEncoderCatalogue& catalogue,
                        std::string_view chosenPath);

struct TSaveDialogRequest {
    std::string Filter;     // "|"-separated, see SaveDialogFilter
    std::string FileName;   // default file name
    std::string DefaultExt; // ".wav"
};
// Shows the save dialog modally (asking before overwriting); nullopt when cancelled.
using TSaveDialog = std::function<std::optional<std::string>(const TSaveDialogRequest&)>;

// The whole output choice (Button2Click): sets EncodeDir, reads the catalogue from it, asks
// through `dialog` and, when a path is accepted, updates the state. `sender` is the export
// run's result holder, or nullptr for the button and the shortcut. `sourcePath` is the text
// of the source path box. A missing catalogue shows no message: nothing is offered.
void ChooseOutput(TExportState& state, TObjectEx* sender,
                  const std::filesystem::path& executableFolder, std::string_view sourcePath,
                  const TSaveDialog& dialog, const TFileExists& exists = RegularFileExists);

} // namespace corvanel
