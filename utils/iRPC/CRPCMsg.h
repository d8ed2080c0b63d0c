// Base of every message exchanged with the rating service. A message
// marshals its fields into a flat payload (request id, then Marshal's
// output, which starts with the format version) that travels between
// top-level windows as WM_COPYDATA, with the type number as dwData and the
// reply window as wParam.
//
// This header is OS-free: window handles are carried as pointer-sized
// integers (RPCWindow), never squeezed into 32 bits.
#pragma once

#include "utils/Buffer/UIOBuffer.h"

#include <cstdint>
#include <memory>
#include <string>

struct tagCOPYDATASTRUCT;  // COPYDATASTRUCT of <windows.h>

// A window handle as an integer of pointer size.
using RPCWindow = std::uintptr_t;

// Send target meaning the rating service's window, found by its title each
// time delivery is attempted.
constexpr RPCWindow kRPCServiceWindow = static_cast<RPCWindow>(-1);

class CRPCMsg {
public:
    CRPCMsg(const CRPCMsg&) = delete;
    CRPCMsg& operator=(const CRPCMsg&) = delete;

    // The class's format version.
    virtual std::int32_t GetVersion() const = 0;
    // Writes every field (reading false) or reads them back (reading true).
    // False only when the version read differs from GetVersion().
    virtual bool Marshal(bool reading, UIOBuffer& buffer) = 0;
    virtual ~CRPCMsg();
    // Queues the message for the delivery threads and returns at once;
    // messages to one target arrive in the order sent. target: a window, or
    // kRPCServiceWindow; replyWindow: where the answer goes (0 for none);
    // requestId: echoed by the answer (0 for none). False when the target is
    // 0, marshalling fails or no delivery thread could be started; true does
    // not mean delivered.
    virtual bool Send(RPCWindow target, RPCWindow replyWindow, std::int32_t requestId);
    // One line for traces; every concrete class overrides it.
    virtual std::string ToString() const;

    std::int32_t Type() const { return type_; }
    // The class constant, or the version read from a payload.
    std::int32_t Version() const { return version_; }
    // The wParam of the WM_COPYDATA that carried a received message.
    RPCWindow SenderWindow() const { return senderWindow_; }
    std::int32_t RequestId() const { return requestId_; }

    // The wire payload: request id (stored in the message), then Marshal.
    bool MarshalPayload(std::int32_t requestId, UIOBuffer& payload);

    // The receiving half without the window system: builds the message of
    // `type` from a payload. Null, with a report, for an empty payload or a
    // version mismatch; null without one for a type that has no class.
    static std::unique_ptr<CRPCMsg> Decode(std::uintptr_t type, RPCWindow senderWindow,
                                           const void* data, std::size_t size);

#ifdef _WIN32
    // Decodes a WM_COPYDATA delivery: senderWindow is its wParam, copyData its
    // lParam. The caller owns the result.
    static std::unique_ptr<CRPCMsg> Receive(RPCWindow senderWindow,
                                            const tagCOPYDATASTRUCT* copyData);
#endif

protected:
    CRPCMsg(std::int32_t type, std::int32_t version) : version_(version), type_(type) {}

    // The leading version field of every Marshal: sets it to the class
    // constant before writing; after reading, false when it differs.
    bool MarshalVersion(bool reading, UIOBuffer& buffer);

private:
    std::int32_t version_;
    std::int32_t type_;
    RPCWindow senderWindow_ = 0;
    std::int32_t requestId_ = 0;
};
