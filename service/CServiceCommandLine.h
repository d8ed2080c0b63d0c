// The service's command line (the arguments after the program name):
//   (none)            run the service
//   /stop             close the running service and wait for it to end
//   /ratings <path>   run, reading the ratings database from <path>
// Switches are case-blind and may start with "-"; a path with spaces is
// written in double quotes.
#pragma once

#include <string>
#include <string_view>

class CServiceCommandLine {
public:
    enum class Action { Run, Stop, Invalid };

    explicit CServiceCommandLine(std::string_view arguments);

    Action GetAction() const { return action_; }
    // The /ratings path; empty when none was given.
    const std::string& RatingsPath() const { return ratingsPath_; }
    // Why the command line is invalid.
    const std::string& Error() const { return error_; }

private:
    static bool NextWord(std::string_view& rest, std::string& word);
    void Invalidate(std::string why);

    Action action_ = Action::Run;
    std::string ratingsPath_;
    std::string error_;
};
