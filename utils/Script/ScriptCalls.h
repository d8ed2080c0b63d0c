// The two ways document evaluation talks to the page scripts: calling a
// function without arguments, and pushing one named value through the
// scripts' "SendData" (frame browser, is-top, name, value).
#pragma once

#include <oaidl.h>

class CScriptHost;

// Calls a script function with no arguments and drops its result.
bool CallScriptVoid(CScriptHost& host, const char* name);

// Pushes a string value. frameBrowser may be null (the start-up values).
// Throws std::bad_alloc when the strings cannot be built.
bool SendScriptData(CScriptHost& host, IDispatch* frameBrowser, bool isTop, const char* name,
                    const char* value);
// Pushes an integer value.
bool SendScriptData(CScriptHost& host, IDispatch* frameBrowser, bool isTop, const char* name,
                    int value);
