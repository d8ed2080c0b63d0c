// Reads arbitrary bytes as an HTTP request, in pieces whose sizes the input
// chooses, and answers it from a small ratings database. Whatever comes in,
// the request never keeps more than its limits, a complete body has exactly
// its announced length, and the response is well formed with a truthful
// Content-Length.
#include "service/CHttpRequest.h"
#include "service/CRatingsHttpHandler.h"
#include "service/CRatingsStore.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

const CRatingsStore& Store() {
    static CRatingsStore store;
    static const bool loaded = store.Load("[site example.com]\nverdict = WARN\n", "fuzz");
    (void)loaded;
    return store;
}

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t piece = 1 + data[0] % 64;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    CHttpRequest request;
    while (!text.empty() && request.GetState() == CHttpRequest::State::Incomplete) {
        request.Feed(text.substr(0, piece));
        text.remove_prefix(text.size() < piece ? text.size() : piece);
    }
    Check(request.Body().size() <= CHttpRequest::kMaxBody);
    Check((request.GetState() == CHttpRequest::State::Bad) == (request.ErrorStatus() != 0));
    if (request.GetState() == CHttpRequest::State::Bad)
        Check(request.ErrorStatus() >= 400 && request.ErrorStatus() < 600 && !request.ErrorText().empty());

    const std::string response = CRatingsHttpHandler(Store()).Respond(request);
    Check(response.compare(0, 9, "HTTP/1.1 ") == 0);
    const std::size_t headEnd = response.find("\r\n\r\n");
    Check(headEnd != std::string::npos);
    const std::size_t lengthAt = response.find("Content-Length: ");
    Check(lengthAt != std::string::npos && lengthAt < headEnd);
    Check(std::stoul(response.substr(lengthAt + 16)) == response.size() - headEnd - 4);
    return 0;
}
