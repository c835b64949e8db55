#pragma once
// The version texts the dialogs and the message tag show. Pure; any thread.

#include "base/Version.h"

#include <QString>

namespace corvanel::dialogs {

inline constexpr char kProgramName[] = "Corvanel";
using corvanel::kProgramVersion;
// The application's title: the caption of the program's message boxes. Windows keep their own
// captions (nothing is appended to them).
inline constexpr char kProgramTitle[] = "Corvanel (64bit)";
inline constexpr char kCopyrightLine[] =
    "Copyright © 2026 The Corvanel developers. Licensed under GPL-3.0-or-later.";

// "x64" on a 64-bit build, "x86" on a 32-bit one.
QString ProcessorWord();
// "1.03 (x64)": version, one space, word size in parentheses.
QString VersionWithWord();
// "Corvanel (x64) 1.03": the tag that identifies the program to the message endpoint.
QString ProgramTag();

} // namespace corvanel::dialogs
