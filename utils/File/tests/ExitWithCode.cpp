// Test program: exits with the code given as its first argument, and writes
// its whole command line to the file named by the second, when given.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc > 2) {
        if (FILE* file = std::fopen(argv[2], "wb")) {
            std::fputs(::GetCommandLineA(), file);
            std::fclose(file);
        }
    }
    return argc > 1 ? std::atoi(argv[1]) : 0;
}
