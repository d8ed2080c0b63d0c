#include "service/CServiceCommandLine.h"

#include <cctype>

namespace {

bool IsSwitch(const std::string& word, const char* name) {
    if (word.size() < 2 || (word[0] != '/' && word[0] != '-'))
        return false;
    std::string lower;
    for (std::size_t i = 1; i < word.size(); ++i)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(word[i])));
    return lower == name;
}

}  // namespace

CServiceCommandLine::CServiceCommandLine(std::string_view arguments) {
    std::string word;
    bool stop = false;
    while (NextWord(arguments, word)) {
        if (IsSwitch(word, "stop")) {
            stop = true;
        } else if (IsSwitch(word, "ratings")) {
            if (!NextWord(arguments, ratingsPath_) || ratingsPath_.empty()) {
                Invalidate("/ratings needs a path");
                return;
            }
        } else {
            Invalidate("unknown argument \"" + word + "\"");
            return;
        }
    }
    if (stop && !ratingsPath_.empty())
        Invalidate("/stop takes no other argument");
    else if (stop)
        action_ = Action::Stop;
}

bool CServiceCommandLine::NextWord(std::string_view& rest, std::string& word) {
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
        rest.remove_prefix(1);
    if (rest.empty())
        return false;
    word.clear();
    bool quoted = false;
    while (!rest.empty()) {
        const char c = rest.front();
        if (!quoted && (c == ' ' || c == '\t'))
            break;
        rest.remove_prefix(1);
        if (c == '"')
            quoted = !quoted;
        else
            word += c;
    }
    return true;
}

void CServiceCommandLine::Invalidate(std::string why) {
    action_ = Action::Invalid;
    error_ = std::move(why);
}
