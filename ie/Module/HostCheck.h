// The module stays out of the Windows shell, which can host browser objects
// too: it refuses to load into a process whose executable is "explorer.exe".
#pragma once

#include <windows.h>

// Whether the file name part of the path is "explorer.exe" in any case.
// Pure string work: it runs under the loader lock.
bool IsShellExecutable(const wchar_t* path) noexcept;

// The same question about the running process's main executable.
bool RunningInShell() noexcept;
