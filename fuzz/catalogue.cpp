// The encoder catalogue: every template it keeps holds its values whole, and the save
// dialog's type list has one whole entry per offered encoder, in order.
#include "export/EncoderCatalogue.h"
#include "export/EncoderCommandLine.h"
#include "fuzz/FuzzInput.h"
#include "export/OutputChoice.h"

#include <string>

using namespace corvanel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TEncoderCatalogue c =
        TEncoderCatalogue::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    for (std::string_view section : kTemplateSections)
        for (const TCatalogueLine& line : c.Lines(section))
            CORVANEL_FUZZ_CHECK(line.Key.empty() || TemplateKeepsValuesWhole(line.Value));

    std::vector<std::string> patterns;
    for (const TCatalogueLine& line : c.Lines(kEncodersSection)) {
        const std::string ext = c.Value(kExtensionSection, line.Key).value_or("");
        if (!line.Key.empty() && !ext.empty() && ext.find('|') == std::string::npos)
            patterns.push_back("*" + ext);
    }
    const auto pairs =
        SplitDialogFilter(SaveDialogFilter(c, "/enc/", [](const std::string&) { return true; }));
    CORVANEL_FUZZ_CHECK(pairs.size() == patterns.size());
    for (std::size_t i = 0; i < pairs.size(); ++i)
        CORVANEL_FUZZ_CHECK(pairs[i].second == patterns[i]);
    return 0;
}
