// Where a test finds its helper programs and where it may write.
#pragma once

#include <string>

namespace testing_support {

// Folder of the running test executable, with a trailing backslash. The
// helper programs are built into the same folder.
std::string ExecutableDirectory();

// A fresh, empty folder under the temporary folder, removed with its contents
// by the destructor.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name);
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // With a trailing backslash.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Writes bytes to a file, replacing it; false on failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace testing_support
