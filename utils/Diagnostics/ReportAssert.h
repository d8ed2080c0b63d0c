// The one failure report of the whole system. Every operation that notices a
// fault (a null argument, a missing window, a refused message, an exception
// caught at a boundary) calls it and then returns its failure value.
#pragma once

// Reports a failure. `method` is the class-qualified name ("UFile::ReadFile");
// `message` may be null. Never fails, never throws, returns nothing.
void ReportAssert(const char* sourceFile, const char* method, int line, const char* message);

// Reports from the current source file and line:
//   REPORT_ASSERT("UFile::ReadFile", "File size error");
#define REPORT_ASSERT(method, message) ::ReportAssert(__FILE__, (method), __LINE__, (message))
