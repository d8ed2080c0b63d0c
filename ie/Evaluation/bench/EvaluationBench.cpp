// Page lives against the real rating service, timed on the window's thread.
// Run by hand under Wine:
//   tools/wine/wine-exec.sh build/win64/bin/EvaluationBench.exe [pages]
// Prints the time from EVAL_BEFORE_NAVIGATE to the verdict reaching the
// decision matrix (p50/p99), the same for two bare service queries sent
// back to back, and the thread time of each kind of browser event and of
// each service answer. The last line holds the figures.
#include "ie/Evaluation/EvalMessage.h"
#include "ie/Evaluation/Evaluator.h"
#include "ie/Evaluation/IBalloonDisplay.h"
#include "ie/Evaluation/IEvaluationHost.h"
#include "ie/Evaluation/IMenuBarDisplay.h"
#include "ie/Evaluation/ISafetyAlertDisplay.h"
#include "service/tests/ServiceProcess.h"
#include "tests/support/FakeDispatch.h"
#include "tests/support/FakeRatingService.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/Window/UMessageWindow.h"
#include "utils/iRPC/RPCWindowHandle.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER value;
    ::QueryPerformanceCounter(&value);
    return static_cast<double>(value.QuadPart) * 1000.0 / frequency;
}

struct Samples {
    std::vector<double> values;
    double Percentile(double p) {
        if (values.empty())
            return 0;
        std::sort(values.begin(), values.end());
        const std::size_t index = std::min(values.size() - 1, static_cast<std::size_t>(p * (values.size() - 1) + 0.5));
        return values[index];
    }
};

// The display records when the verdict reaches it.
class TimingHost : public IEvaluationHost, IMenuBarDisplay, IBalloonDisplay {
public:
    IMenuBarDisplay* GetMenuBar() override { return this; }
    IBalloonDisplay* GetBalloon() override { return this; }
    ISafetyAlertDisplay* GetSafetyAlert() override { return nullptr; }
    HWND GetAlertOwner() override { return nullptr; }
    bool IsOnDoNotWarnList(const std::string&) override { return false; }
    bool IsEnabled() override { return true; }

    void Set(int) override { verdictAt = Now(); }
    void ShowWaiting() override {}
    void ShowOff() override {}
    void Hide() override {}
    void Set(int, int, const std::string&, const std::string&) override {}
    void Show(int) override {}

    double verdictAt = 0;
};

// Times every service answer the evaluator's window handles.
WNDPROC g_original = nullptr;
Samples* g_answerTimes = nullptr;
LRESULT CALLBACK TimedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA)
        return ::CallWindowProcA(g_original, window, message, wParam, lParam);
    const double start = Now();
    const LRESULT result = ::CallWindowProcA(g_original, window, message, wParam, lParam);
    g_answerTimes->values.push_back(Now() - start);
    return result;
}

// Two bare queries sent back to back, until their four answers arrived.
double TwoQueries(const std::string& url, HWND reply, int& answers, int requestId) {
    answers = 0;
    const double start = Now();
    CServerURLQuery first(url);
    first.Send(kRPCServiceWindow, ToRPCWindow(reply), requestId);
    CServerURLQuery second(url);
    second.Send(kRPCServiceWindow, ToRPCWindow(reply), requestId + 1);
    if (!testing_support::PumpUntil([&] { return answers >= 4; }, 10000))
        return -1;
    return Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 ? std::atoi(argv[1]) : 200;
    service_testing::ServiceProcess service;
    if (!service.Window()) {
        std::printf("The rating service did not start\n");
        return 1;
    }
    const std::vector<std::string> hosts = {"example.com", "forum.example.com", "bank.example",
                                            "shop.example.net", "news.example.org", "blog.example.org",
                                            "files.example.net", "mailer.example.net", "freebies.example",
                                            "games.example", "unrated-site.example"};

    Samples baseline;
    {
        int answers = 0;
        UMessageWindow reply("EvaluationBench");
        reply.Create("", [&](UINT message, WPARAM, LPARAM, LRESULT* result) {
            if (message != WM_COPYDATA)
                return false;
            ++answers;
            *result = TRUE;
            return true;
        });
        for (int i = 0; i < pages; ++i) {
            const double time = TwoQueries("http://" + hosts[i % hosts.size()] + "/", reply.Window(), answers, 2 * i + 1);
            if (time >= 0)
                baseline.values.push_back(time);
        }
    }

    TimingHost host;
    CEvaluator evaluator;
    evaluator.SetHost(&host);
    Samples answerTimes;
    g_answerTimes = &answerTimes;
    g_original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(evaluator.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TimedProcedure)));

    win::ComPtr<testing_support::FakeDispatch> browser = testing_support::FakeDispatch::Create();
    Samples verdicts, before, complete, documentComplete;
    int missing = 0;
    for (int i = 0; i < pages; ++i) {
        const std::string url = "http://" + hosts[i % hosts.size()] + "/page" + std::to_string(i);
        host.verdictAt = 0;
        const double start = Now();
        const CEvalMessage beforeMessage(EVAL_BEFORE_NAVIGATE, url, browser.Get(), true);
        evaluator.Message(&beforeMessage);
        const double afterBefore = Now();
        const CEvalMessage completeMessage(EVAL_NAVIGATE_COMPLETE, url, browser.Get(), true);
        evaluator.Message(&completeMessage);
        const double afterComplete = Now();
        before.values.push_back(afterBefore - start);
        complete.values.push_back(afterComplete - afterBefore);
        if (!testing_support::PumpUntil([&] { return host.verdictAt != 0; }, 10000)) {
            ++missing;
            continue;
        }
        verdicts.values.push_back(host.verdictAt - start);
        const double documentStart = Now();
        const CEvalMessage documentMessage(EVAL_DOCUMENT_COMPLETE, url, browser.Get(), true);
        evaluator.Message(&documentMessage);
        documentComplete.values.push_back(Now() - documentStart);
    }
    ::SetWindowLongPtrA(evaluator.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_original));

    std::printf("pages: %d, without verdict: %d\n", pages, missing);
    std::printf("two bare service queries:        p50 %.2f ms  p99 %.2f ms\n", baseline.Percentile(0.5),
                baseline.Percentile(0.99));
    std::printf("before-navigate to verdict:      p50 %.2f ms  p99 %.2f ms\n", verdicts.Percentile(0.5),
                verdicts.Percentile(0.99));
    std::printf("thread time per event (p50/p99): before-navigate (engine start) %.3f/%.3f ms, "
                "navigate-complete %.3f/%.3f ms, document-complete %.3f/%.3f ms, service answer %.3f/%.3f ms\n",
                before.Percentile(0.5), before.Percentile(0.99), complete.Percentile(0.5),
                complete.Percentile(0.99), documentComplete.Percentile(0.5), documentComplete.Percentile(0.99),
                answerTimes.Percentile(0.5), answerTimes.Percentile(0.99));
    std::printf("verdict p50 %.2f ms p99 %.2f ms (bare queries p50 %.2f ms, +%.2f ms); event p99: engine start "
                "%.3f ms, navigate-complete %.3f ms, document-complete %.3f ms, answer %.3f ms\n",
                verdicts.Percentile(0.5), verdicts.Percentile(0.99), baseline.Percentile(0.5),
                verdicts.Percentile(0.5) - baseline.Percentile(0.5), before.Percentile(0.99),
                complete.Percentile(0.99), documentComplete.Percentile(0.99), answerTimes.Percentile(0.99));
    return missing == 0 ? 0 : 2;
}
