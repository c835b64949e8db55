#include "export/OutputChoice.h"

#include "base/InstallPaths.h"
#include "base/MarkedText.h"

#include <system_error>

namespace corvanel {

namespace {
#ifdef _WIN32
constexpr std::string_view kPathSeparators = "\\/:";
constexpr char kSeparator = '\\';
#else
constexpr std::string_view kPathSeparators = "/";
constexpr char kSeparator = '/';
#endif

// Shown for a "|" in a description, which would otherwise end the entry's display text.
constexpr std::string_view kFilterBarStandIn = "\xEF\xBD\x9C"; // U+FF5C
} // namespace

bool OutputChosen(const TObjectEx& holder) {
    const bool* chosen = std::get_if<bool>(&holder.GenericProp1);
    return chosen != nullptr && *chosen;
}

namespace {

std::string AddonFolderIn(const std::filesystem::path& parent) {
    std::string folder = parent.string();
    if (folder.empty() || folder.back() != kSeparator)
        folder += kSeparator;
    folder += "addon.win";
    folder += kSeparator;
    return folder;
}

} // namespace

std::vector<std::string> EncoderFolderCandidates(const std::filesystem::path& executableFolder) {
    std::vector<std::string> folders{AddonFolderIn(executableFolder)};
    if (const std::filesystem::path user = UserConfigFolder(); !user.empty())
        folders.push_back(AddonFolderIn(user));
    folders.push_back(AddonFolderIn(InstalledDataFolder(executableFolder)));
    return folders;
}

std::string FirstEncoderFolder(const std::vector<std::string>& candidates,
                               const TFileExists& exists) {
    for (const std::string& folder : candidates)
        if (exists(folder + "encoder.inf"))
            return folder;
    return candidates.empty() ? std::string() : candidates.front();
}

std::string EncoderFolder(const std::filesystem::path& executableFolder,
                          const TFileExists& exists) {
    return FirstEncoderFolder(EncoderFolderCandidates(executableFolder), exists);
}

bool RegularFileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string SaveDialogFilter(const TEncoderCatalogue& catalogue, std::string_view encodeDir,
                             const TFileExists& exists) {
    std::string filter;
    for (const TCatalogueLine& line : catalogue.Lines(kEncodersSection)) {
        const std::string& name = line.Key;
        const std::string ext = catalogue.Value(kExtensionSection, name).value_or(std::string());
        // "|" separates the filter's fields: an extension holding it cannot be a pattern.
        if (ext.empty() || name.empty() || ext.find('|') != std::string::npos)
            continue;
        if (name.front() != '<' && !exists(std::string(encodeDir) + name))
            continue;
        std::string description;
        for (char c : line.Value)
            description += c == '|' ? std::string(kFilterBarStandIn) : std::string(1, c);
        filter += description + " (*" + ext + ")|*" + ext + "|";
    }
    return filter;
}

std::vector<std::pair<std::string, std::string>> SplitDialogFilter(std::string_view filter) {
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (pos < filter.size()) {
        std::size_t bar = filter.find('|', pos);
        if (bar == std::string_view::npos)
            bar = filter.size();
        parts.push_back(filter.substr(pos, bar - pos));
        pos = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        pairs.emplace_back(parts[i], parts[i + 1]);
    return pairs;
}

std::string_view FileNamePart(std::string_view path) {
    const std::size_t separator = path.find_last_of(kPathSeparators);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view FileExtension(std::string_view path) {
    const std::string_view name = FileNamePart(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string DefaultOutputName(std::string_view sourcePath) {
    const std::string_view name = FileNamePart(sourcePath);
    const std::size_t dot = name.rfind('.');
    return std::string(name.substr(0, dot)) + "_vr.wav";
}

void AcceptOutputChoice(TExportState& state, const TEncoderCatalogue& catalogue,
                        std::string_view chosenPath) {
    state.Edit2 = std::string(chosenPath);
    state.EncodeProgram.clear();
    for (std::size_t i = 0; i < state.Encoders.size(); ++i)
        state.Encoders[i] = catalogue.Lines(kTemplateSections[i]);

    const std::string_view extension = FileExtension(state.Edit2);
    for (const TCatalogueLine& line : catalogue.Lines(kExtensionSection)) {
        if (markedtext::EqualNoCase(line.Value, extension)) {
            state.EncodeProgram = line.Key;
            break;
        }
    }
}

void ChooseOutput(TExportState& state, TObjectEx* sender,
                  const std::filesystem::path& executableFolder, std::string_view sourcePath,
                  const TSaveDialog& dialog, const TFileExists& exists) {
    if (sender != nullptr)
        sender->GenericProp1 = false;
    state.EncodeDir = EncoderFolder(executableFolder);
    const TEncoderCatalogue catalogue =
        TEncoderCatalogue::LoadFromFile(state.EncodeDir + std::string(kCatalogueFileName));

    TSaveDialogRequest request;
    request.Filter = SaveDialogFilter(catalogue, state.EncodeDir, exists);
    request.FileName = DefaultOutputName(sourcePath);
    request.DefaultExt = ".wav";
    const std::optional<std::string> chosen = dialog(request);
    if (!chosen)
        return;

    AcceptOutputChoice(state, catalogue, *chosen);
    if (sender != nullptr)
        sender->GenericProp1 = true;
}

} // namespace corvanel
