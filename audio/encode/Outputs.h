// The real encoder outputs: a command-line program fed on its standard input (its standard
// error captured, and its last lines kept with a failure), and a WAV (or headerless) file,
// which on a pipe or a terminal is written as a stream with a header of unknown length.
// Threads: as EncoderOutput.
#pragma once

#include "audio/encode/EncoderOutput.h"
#include "audio/encode/WavFileWriter.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace corvanel::audio::encode {

// Starts argv (argv[0] is the program path). On failure returns null and sets result.
std::unique_ptr<EncoderOutput> startProgramOutput(const std::vector<std::string>& argv,
                                                  EncodeResult& result);

// Creates the file, or opens the pipe or device the path names. On failure returns null and
// sets result.
std::unique_ptr<EncoderOutput> createFileOutput(const std::filesystem::path& path, int sampleRate,
                                                int channels, WavFileWriter::Container container,
                                                EncodeResult& result);

} // namespace corvanel::audio::encode
