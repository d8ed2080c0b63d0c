#include "service/RatingsSource.h"

#include "utils/Buffer/UIOBuffer.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/PathTests.h"
#include "utils/File/UFile.h"

#include <windows.h>

namespace {

bool Exists(const std::string& path) {
    const long attributes = GetPathAttributes(path);
    return attributes != -1 && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool LoadFile(CRatingsStore& store, const std::string& path) {
    UBuffer bytes;
    if (!Exists(path) || !UFile::ReadFile(path, bytes)) {
        store.Clear();
        const std::string text = "Ratings database missing: " + path;
        REPORT_ASSERT("LoadRatings", text.c_str());
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.Data()), bytes.Size());
    return store.Load(text, path);
}

bool LoadBuiltIn(CRatingsStore& store) {
    UIOBuffer bytes;
    if (!bytes.LoadResource(MAKEINTRESOURCEA(kRatingsResource), MAKEINTRESOURCEA(10) /* RT_RCDATA */,
                            ::GetModuleHandleA(nullptr))) {
        store.Clear();
        REPORT_ASSERT("LoadRatings", "No built-in ratings database");
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.Data()), bytes.Size());
    return store.Load(text, "built-in ratings.txt");
}

}  // namespace

bool LoadRatings(CRatingsStore& store, const std::string& explicitPath) {
    if (!explicitPath.empty()) {
        std::string path = explicitPath;
        NormalizePath(path);
        return LoadFile(store, path);
    }
    std::string beside = kRatingsFile;
    NormalizePath(beside);
    if (Exists(beside))
        return LoadFile(store, beside);
    return LoadBuiltIn(store);
}
