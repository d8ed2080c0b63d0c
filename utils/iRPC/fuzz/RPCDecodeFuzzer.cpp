// Decodes hostile payloads of every type number: the first input byte picks
// the type (beyond 9 too, so unknown types are covered), the rest is the
// WM_COPYDATA payload. Whatever decodes is also printed and marshalled again.
// The payload is also read as bare fields, for the encodings no request uses
// (string lists arrive only in results).
#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/RPCMarshal.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void ReadBareFields(const std::uint8_t* data, std::size_t size) {
    UIOBuffer buffer(data, size);
    std::vector<std::string> items;
    MarshalStringArray(true, buffer, items);
    std::string text;
    MarshalString(true, buffer, text);
    bool flag = false;
    MarshalBool(true, buffer, flag);
    std::int32_t number = 0;
    MarshalInt(true, buffer, number);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    ReadBareFields(data + 1, size - 1);
    const std::uintptr_t type = data[0] % 12;
    std::unique_ptr<CRPCMsg> message = CRPCMsg::Decode(type, 0, data + 1, size - 1);
    if (!message)
        return 0;
    const std::string text = message->ToString();
    if (text.empty())
        __builtin_trap();  // every message names itself
    UIOBuffer again;
    if (!message->MarshalPayload(message->RequestId(), again))
        __builtin_trap();
    // What was read must read back the same way once re-encoded.
    std::unique_ptr<CRPCMsg> copy = CRPCMsg::Decode(type, 0, again.Data(), again.Size());
    if (!copy || copy->RequestId() != message->RequestId())
        __builtin_trap();
    return 0;
}
