// Cracking runs for every navigation and frame; the rateable test for every
// address before it is sent.
#include "utils/URL/AddressRules.h"
#include "utils/URL/UURL.h"

#include <benchmark/benchmark.h>

namespace {

const char kTypical[] = "https://www.example.com/news/world/article-12345.html?ref=home&utm=x";
const char kWithEverything[] =
    "https://joe:pw@shop.example.co.uk:8443/cart/checkout?item=42&qty=1#pay";

void BM_CrackTypical(benchmark::State& state) {
    UURL url;
    for (auto _ : state) {
        url.Assign(kTypical);
        benchmark::DoNotOptimize(url.GetHostName().data());
    }
}
BENCHMARK(BM_CrackTypical);

void BM_CrackWithEverything(benchmark::State& state) {
    UURL url;
    for (auto _ : state) {
        url.Assign(kWithEverything);
        benchmark::DoNotOptimize(url.GetPort());
    }
}
BENCHMARK(BM_CrackWithEverything);

void BM_ConstructAndCrack(benchmark::State& state) {
    for (auto _ : state) {
        UURL url(kTypical);
        benchmark::DoNotOptimize(url.GetHostName().data());
    }
}
BENCHMARK(BM_ConstructAndCrack);

void BM_GetDomain(benchmark::State& state) {
    const UURL url(kTypical);
    for (auto _ : state)
        benchmark::DoNotOptimize(url.GetDomain());
}
BENCHMARK(BM_GetDomain);

void BM_IsRateableURL(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(IsRateableURL(kTypical));
}
BENCHMARK(BM_IsRateableURL);

void BM_IsRateableURLPrivate(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(IsRateableURL("http://192.168.1.1/admin/login.cgi"));
}
BENCHMARK(BM_IsRateableURLPrivate);

}  // namespace
