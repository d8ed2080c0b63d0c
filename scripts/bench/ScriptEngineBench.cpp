// Measures what every page costs the browser thread: a fresh page-script
// engine (both script files, start, "OnLoad", "Reset" and the two start-up
// pushes), then 20 pushes of rating data.
//
//   ScriptEngineBench [pages]     (run from the build's bin folder)
#include "utils/Crypto/ScriptKey.h"
#include "utils/Script/CScriptHost.h"
#include "utils/Script/ScriptCalls.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

LONGLONG Now() {
    LARGE_INTEGER value;
    ::QueryPerformanceCounter(&value);
    return value.QuadPart;
}

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

bool StartPageEngine(CScriptHost& host) {
    CCryptoChain chain = MakeScriptCryptoChain();
    return host.InitScripting() && host.AddScriptFile("%INSTALL_DIR%Scripts\\all.mrg", &chain) &&
           host.AddScriptFile("%INSTALL_DIR%Scripts\\all.js") && host.RunScript() &&
           CallScriptVoid(host, "OnLoad") && CallScriptVoid(host, "Reset") &&
           SendScriptData(host, nullptr, false, "current_date", "12/09/2026") &&
           SendScriptData(host, nullptr, false, "user_country", "US");
}

bool PushRatingData(CScriptHost& host) {
    static const char* const kNames[] = {"dss_whois_date", "dss_whois_country", "dss_whois_state",
                                         "dss_whois_city", "dss_popularity", "dss_ip_address",
                                         "dss_ip_country", "dss_dynamic_ip", "dss_user_content",
                                         "whois_created", "whois_expires", "domain_specifier",
                                         "URL", "URL_final", "current_date"};
    bool pushed = true;
    for (const char* name : kNames)
        pushed = pushed && SendScriptData(host, nullptr, true, name, "value");
    for (const char* name : {"dss_code", "dss_color", "dss_commerce_code", "dss_downloads_code",
                             "dss_personalinfo_code"})
        pushed = pushed && SendScriptData(host, nullptr, true, name, 2);
    return pushed;  // 15 + 5 = 20 pushes
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 ? std::atoi(argv[1]) : 50;
    // The browser's user-interface thread has COM for its whole life.
    ::CoInitialize(nullptr);
    std::vector<double> starts, pushes;
    for (int page = 0; page < pages; ++page) {
        CScriptHost host;
        LONGLONG begin = Now();
        if (!StartPageEngine(host)) {
            std::fprintf(stderr, "ScriptEngineBench: the page engine did not start\n");
            return 1;
        }
        starts.push_back(Milliseconds(Now() - begin));
        begin = Now();
        if (!PushRatingData(host)) {
            std::fprintf(stderr, "ScriptEngineBench: a push failed\n");
            return 1;
        }
        pushes.push_back(Milliseconds(Now() - begin));
    }
    std::printf("page engine start: median %.3f ms, worst %.3f ms over %d pages\n", Median(starts),
                *std::max_element(starts.begin(), starts.end()), pages);
    std::printf("20 pushes:         median %.3f ms, worst %.3f ms\n", Median(pushes),
                *std::max_element(pushes.begin(), pushes.end()));
    return 0;
}
