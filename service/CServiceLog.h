// The service's own log in the user's data folder: the notices and feedback
// the add-on sends, and every message the service dropped. Each line carries
// the local time. The file is bounded: past kLimit bytes it becomes
// "<name>.old" (replacing the previous one) and a fresh file starts.
#pragma once

#include <cstdint>
#include <string>

class CServiceLog {
public:
    static constexpr char kDefaultPath[] = "%DATA_DIR%service-log.txt";
    static constexpr std::int64_t kLimit = 64 * 1024;
    // A line longer than this is cut: a hostile notice cannot fill the file at once.
    static constexpr std::size_t kMaxLine = 1024;

    // Path macros allowed.
    explicit CServiceLog(std::string path = kDefaultPath);

    // Appends one line; control characters become spaces. Failures are
    // silent: the log never stops the service.
    void Write(const std::string& text);
    const std::string& Path() const { return path_; }

private:
    void RotateWhenFull();

    std::string path_;
};
