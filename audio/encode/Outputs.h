// The two real encoder outputs: a command-line program fed on its standard input, and a
// WAV (or headerless) file. Threads: as EncoderOutput.
#pragma once

#include "EncoderOutput.h"
#include "WavFileWriter.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace corvanel::audio::encode {

// Starts argv (argv[0] is the program path). On failure returns null and sets result.
std::unique_ptr<EncoderOutput> startProgramOutput(const std::vector<std::string>& argv,
                                                  EncodeResult& result);

// Creates the file. On failure returns null and sets result.
std::unique_ptr<EncoderOutput> createFileOutput(const std::filesystem::path& path, int sampleRate,
                                                int channels, WavFileWriter::Container container,
                                                EncodeResult& result);

} // namespace corvanel::audio::encode
