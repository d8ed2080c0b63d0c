// Measures the rating service's answers as the add-on sees them: many site
// queries from this process, each timed until both answers arrived, against
// the floor of a bare cross-process WM_COPYDATA round trip to the same
// service window (a message type the service declines at once). The last
// line gives the two medians and their ratio.
//
//   ServiceLatencyBench [queries]      (the service must be running)
#include "tools/QuillonCheck/CServiceClient.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Milliseconds(LONGLONG ticks) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency);
}

LONGLONG Now() {
    LARGE_INTEGER value;
    ::QueryPerformanceCounter(&value);
    return value.QuadPart;
}

void Print(const char* what, std::vector<double>& samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    std::printf("%-34s n=%zu  p50=%.3f ms  p99=%.3f ms  max=%.3f ms\n", what, n, samples[n / 2],
                samples[std::min(n - 1, n * 99 / 100)], samples.back());
}

}  // namespace

int main(int argc, char** argv) {
    const int queries = argc > 1 ? std::atoi(argv[1]) : 1000;
    const HWND service = ::FindWindowA(nullptr, "Server:{A534759F-A612-4cf7-BA15-D022203D2DD1}");
    if (!service || queries <= 0) {
        std::fprintf(stderr, "ServiceLatencyBench: no rating service running\n");
        return 3;
    }
    CServiceClient client;

    std::vector<double> floor;
    char ping[16] = "ping";
    COPYDATASTRUCT copyData = {0xFFFF, sizeof ping, ping};
    for (int i = 0; i < queries; ++i) {
        const LONGLONG start = Now();
        ::SendMessageA(service, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copyData));
        floor.push_back(Milliseconds(Now() - start));
    }

    std::vector<double> latency;
    int unanswered = 0;
    for (int i = 0; i < queries; ++i) {
        const LONGLONG start = Now();
        const SiteAnswer answer = client.QuerySite("http://www.example.com/page" + std::to_string(i), 5000);
        if (!answer.Complete())
            ++unanswered;
        latency.push_back(Milliseconds(Now() - start));
    }
    Print("WM_COPYDATA round trip (floor)", floor);
    Print("site query until both answers", latency);
    std::printf("unanswered: %d\n", unanswered);
    // Last line, for scripts: the two medians and their ratio.
    const double query = latency[latency.size() / 2];
    const double roundTrip = floor[floor.size() / 2];
    std::printf("p50 site query %.3f ms, p50 round trip %.3f ms, ratio %.2f\n", query, roundTrip, query / roundTrip);
    return unanswered == 0 ? 0 : 1;
}
