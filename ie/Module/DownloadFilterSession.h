// The download filter is placed into the browser's download streams for the
// whole process while at least one browser helper runs: registered with the
// process's internet session for the screened MIME types by the first
// helper, unregistered by the last.
#pragma once

// The screened MIME types, in registration order, null-terminated.
extern const wchar_t* const kScreenedMimeTypes[];

// Registers the module's filter class object for each type, stopping at the
// first failure; false then, or when the module has no filter class.
bool RegisterDownloadFilter();
// Unregisters it for each type, stopping at the first failure.
bool UnregisterDownloadFilter();
