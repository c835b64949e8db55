#pragma once
// One file of a batch through the program's own export run: its own parameters, processor,
// stream chain and encoder, set up exactly as the window sets them from its controls, so the
// output is byte for byte the one the window writes with the same settings.
//
// Units: progress in percent; times in seconds. Paths and texts UTF-8.
// Threads: any thread, several files at once on different threads; nothing is shared
// between two calls but the audio layer, which is thread-safe.
#include "export/EncoderCatalogue.h"
#include "cli/JobRunner.h"
#include "controls/Settings.h"

#include <atomic>
#include <functional>
#include <string>

namespace corvanel::cli {

struct TFileExport {
    std::string Input;          // "-": standard input
    std::string Output;         // "-": standard output, in the format of Extension
    std::string Extension;      // with its dot; the output's own extension when it has one
    TSettingsControls Controls; // the window's controls
    int Quality = 1;            // QualitySelecter
    std::string EncodeDir;      // the catalogue's folder, ending in a separator
};

// Written, Failed (with the run's message, the system's reason when the input cannot be
// opened, and the encoder's last lines as details) or Aborted once `abort` is seen between
// blocks (the output is closed and kept with what was written). progress may be empty.
TJobResult ExportFile(const TFileExport& job, const TEncoderCatalogue& catalogue,
                      const std::function<void(double)>& progress, const std::atomic<bool>& abort);

} // namespace corvanel::cli
