#pragma once
// The dialogs' pictures live in a resource file compiled into this static library; it
// must be registered before the first picture is loaded. UI thread only.

namespace corvanel::dialogs {

// Safe to call any number of times.
void RegisterDialogArt();

} // namespace corvanel::dialogs
