// Starting other programs (the rating service, the browser in a new process).
#pragma once

#include <windows.h>

// Starts "program" (always quoted, so paths with spaces work) with the
// arguments unchanged after one space. With wait, blocks until the program
// ends and returns its exit code; otherwise returns 0 once it started.
// -1 when it cannot be started or its exit code cannot be read.
int LaunchProgram(const char* program, const char* arguments, DWORD creationFlags, bool wait);
