// How long a screened download waits for its verdict when the rating
// service knows the file: RunMimeWnd against the real Quillon.exe, for the
// sample ratings' known checksums from a site the service does not know
// (four requests, five answers), timed on the reading thread.
//
//   tools/wine/wine-exec.sh build/win64/bin/VerdictWaitBench.exe
#include "ie/Download/MimeWnd.h"
#include "service/tests/ServiceProcess.h"
#include "utils/Hash/UMD5.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

int main() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    service_testing::ServiceProcess service;
    if (!service.Window()) {
        std::printf("The rating service did not start\n");
        return 1;
    }
    const char* const files[] = {"abc", "a", "", "message digest"};
    std::vector<double> waits;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    int unanswered = 0;
    for (int round = 0; round < 50; ++round) {
        for (const char* file : files) {
            const std::string digest = UMD5::HexOf(file, std::char_traits<char>::length(file));
            MimeVerdict verdict;
            LARGE_INTEGER start;
            LARGE_INTEGER end;
            ::QueryPerformanceCounter(&start);
            RunMimeWnd(digest, "http://downloads.nowhere-known.test/setup.exe", "referrer.nowhere-known.test",
                       verdict);
            ::QueryPerformanceCounter(&end);
            if (verdict.verdict == 99)
                ++unanswered;
            waits.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                            static_cast<double>(frequency.QuadPart));
        }
    }
    std::sort(waits.begin(), waits.end());
    const auto at = [&](double share) { return waits[static_cast<std::size_t>(share * (waits.size() - 1))]; };
    std::printf("%zu verdicts, %d without an answer; p90 %.2f ms, max %.2f ms (limit 2500 ms)\n", waits.size(),
                unanswered, at(0.9), waits.back());
    std::printf("verdict wait: p50 %.2f ms\n", at(0.5));
    ::CoUninitialize();
    return 0;
}
