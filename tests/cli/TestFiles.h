#pragma once
// Files the program tests make.
#include <cstdint>
#include <filesystem>

namespace corvanel::cli {

// A WAV file of 16-bit PCM: a centred tone (what the reduction removes), a tone on the left
// only and noise on the right only, so that the result depends on every parameter.
void WriteWav(const std::filesystem::path& file, int channels, int rate, double seconds,
              std::uint32_t seed = 1);

} // namespace corvanel::cli
