// Text inside the add-on is 8-bit in the system ANSI code page; COM, script
// and XML speak UTF-16. These convert at those boundaries only.
#pragma once

#include <string>

std::wstring AnsiToWide(const std::string& text);
// Characters the code page lacks become the system's default character.
std::string WideToAnsi(const wchar_t* text, int length = -1);
std::string WideToAnsi(const std::wstring& text);
