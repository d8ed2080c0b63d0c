// Site patterns come from the rating service with round and curly brackets
// exchanged; this turns them into the patterns the page scripts match with.
#pragma once

#include <string>
#include <string_view>

// A copy with "(" and "{" exchanged and ")" and "}" exchanged. A null text is
// reported and yields an empty text.
std::string TranslateRegEx(const char* text);
std::string TranslateRegEx(std::string_view text);
