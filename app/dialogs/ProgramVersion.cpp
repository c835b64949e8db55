#include "app/dialogs/ProgramVersion.h"

namespace corvanel::dialogs {

QString ProcessorWord() {
    return sizeof(void*) == 8 ? QStringLiteral("x64") : QStringLiteral("x86");
}

QString VersionWithWord() {
    return QStringLiteral("%1 (%2)").arg(QLatin1String(kProgramVersion), ProcessorWord());
}

QString ProgramTag() {
    return QStringLiteral("%1 (%2) %3")
        .arg(QLatin1String(kProgramName), ProcessorWord(), QLatin1String(kProgramVersion));
}

} // namespace corvanel::dialogs
