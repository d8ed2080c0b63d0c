// Stands in for programs the add-on starts (the browser, the rating
// service): appends its command line to the file named by the environment
// variable QUILLON_RECORD_FILE, one line a start, and ends.
#include <windows.h>

#include <cstdio>

int main() {
    char file[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("QUILLON_RECORD_FILE", file, sizeof file))
        return 2;
    FILE* out = std::fopen(file, "a");
    if (!out)
        return 3;
    std::fprintf(out, "%s\n", ::GetCommandLineA());
    std::fclose(out);
    return 0;
}
