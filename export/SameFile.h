#pragma once
// Whether two paths name the same file: the same canonical path, or (when both exist) the
// same device and inode, which also catches a symbolic or hard link to the other file.
// Used to refuse an export that would overwrite its own source.
//
// Paths are UTF-8. Threads: any.
#include <string_view>

namespace corvanel {

// False when either path is empty.
bool SameFile(std::string_view a, std::string_view b);

} // namespace corvanel
