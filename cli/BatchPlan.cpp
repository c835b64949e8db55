#include "cli/BatchPlan.h"

#include "export/OutputChoice.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <system_error>

namespace corvanel::cli {

namespace fs = std::filesystem;

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

fs::path FromUtf8(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Two spellings of one file compare equal; a file that does not exist yet by its parts.
fs::path Identity(const std::string& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(FromUtf8(path), ec);
    return ec ? fs::absolute(FromUtf8(path), ec).lexically_normal() : canonical;
}

} // namespace

TOutputFormat ChooseOutputFormat(const TCliOptions& options, const TEncoderCatalogue& catalogue,
                                 std::string_view encodeDir) {
    TOutputFormat format;
    if (options.Output && *options.Output != kStandardStream) {
        format.Extension = std::string(FileExtension(*options.Output));
        if (format.Extension.empty()) {
            format.Error = "-o " + *options.Output + ": the output name needs an extension";
            return format;
        }
        if (options.Format && !EqualNoCase(format.Extension, "." + *options.Format)) {
            format.Error = "-o " + *options.Output + " does not end in ." + *options.Format;
            return format;
        }
    } else {
        format.Extension = "." + options.Format.value_or("wav");
    }

    for (const auto& line : catalogue.Lines(kExtensionSection)) {
        if (!line.Key.empty() && EqualNoCase(line.Value, format.Extension)) {
            format.EncodeProgram = line.Key;
            break;
        }
    }
    if (format.EncodeProgram.empty()) {
        std::string listed;
        for (const auto& line : catalogue.Lines(kExtensionSection))
            if (!line.Key.empty() && line.Value.size() > 1)
                listed += (listed.empty() ? "" : ", ") + line.Value.substr(1);
        format.Error = "the encoder catalogue lists no encoder for " + format.Extension +
                       (listed.empty() ? " (the catalogue is empty or missing)"
                                       : " (it lists " + listed + ")");
        return format;
    }
    // A name beginning with "<" is built in; any other is a program in the encoder folder.
    if (format.EncodeProgram.front() != '<') {
        const std::string program = std::string(encodeDir) + format.EncodeProgram;
        if (!RegularFileExists(program))
            format.Missing = "the encoder program " + program + " is not installed";
    }
    return format;
}

std::string OutputNameFor(std::string_view inputPath, std::string_view extension) {
    std::string name(FileNamePart(inputPath));
    if (const auto dot = name.rfind('.'); dot != std::string::npos)
        name.erase(dot);
    return name + "_vr" + std::string(extension);
}

std::vector<TPlannedFile> PlanBatch(const TCliOptions& options, std::string_view extension) {
    std::vector<TPlannedFile> plan;
    std::set<fs::path> inputs;
    for (const auto& input : options.Inputs)
        inputs.insert(Identity(input));

    std::set<fs::path> outputs;
    for (const auto& input : options.Inputs) {
        TPlannedFile file;
        file.Input = input;
        if (options.Output) {
            file.Output = *options.Output;
        } else {
            const fs::path folder =
                options.OutDir ? FromUtf8(*options.OutDir) : FromUtf8(input).parent_path();
            file.Output = ToUtf8(folder / FromUtf8(OutputNameFor(input, extension)));
        }

        // Standard output is always written.
        if (file.Output == kStandardStream) {
            plan.push_back(std::move(file));
            continue;
        }
        const fs::path identity = Identity(file.Output);
        std::error_code ec;
        if (inputs.count(identity) != 0)
            file.Error = "the output " + file.Output + " is an input of this batch";
        else if (!outputs.insert(identity).second)
            file.Error = "another input of this batch already writes " + file.Output;
        else if (fs::is_directory(FromUtf8(file.Output), ec))
            file.Error = "the output " + file.Output + " is a folder";
        else if (!options.Force && fs::exists(fs::symlink_status(FromUtf8(file.Output), ec)))
            file.Error = "the output " + file.Output + " exists (--force overwrites it)";
        plan.push_back(std::move(file));
    }
    return plan;
}

} // namespace corvanel::cli
