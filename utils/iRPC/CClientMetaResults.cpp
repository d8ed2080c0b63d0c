#include "utils/iRPC/CClientMetaResults.h"

#include "utils/iRPC/RPCFormat.h"
#include "utils/iRPC/RPCMarshal.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/TimeText.h"

CClientMetaResults::CClientMetaResults() : CRPCMsg(RPC_CLIENT_META_RESULTS, kVersion) {}

bool CClientMetaResults::Marshal(bool reading, UIOBuffer& buffer) {
    if (!MarshalVersion(reading, buffer))
        return false;
    MarshalInt(reading, buffer, expiry_);
    MarshalString(reading, buffer, baseDomain_);
    if (reading)
        sitePatterns_.clear();  // the list read replaces whatever was there
    MarshalStringArray(reading, buffer, sitePatterns_);
    MarshalString(reading, buffer, popularity_);
    MarshalInt(reading, buffer, creationDate_);
    MarshalString(reading, buffer, registrantCountry_);
    MarshalString(reading, buffer, registrantState_);
    MarshalString(reading, buffer, registrantCity_);
    MarshalString(reading, buffer, addressCountry_);
    MarshalBool(reading, buffer, dynamicAddress_);
    MarshalBool(reading, buffer, userContent_);
    MarshalString(reading, buffer, address_);
    // The address country travels twice; both ends keep this layout.
    MarshalString(reading, buffer, addressCountry_);
    MarshalString(reading, buffer, registrationCreated_);
    MarshalString(reading, buffer, registrationExpires_);
    return true;
}

std::string CClientMetaResults::ToString() const {
    return FormatText("CClientMetaResults [%d] %s %s %d filters %s %s %s %s %s %s %s %s %s %s",
                      Version(), FormatLocalTime(expiry_).c_str(), baseDomain_.c_str(),
                      static_cast<int>(sitePatterns_.size()), popularity_.c_str(),
                      FormatLocalTime(creationDate_).c_str(), registrantCountry_.c_str(),
                      registrantState_.c_str(), registrantCity_.c_str(),
                      dynamicAddress_ ? "Dynamic IP" : "Static IP",
                      userContent_ ? "User content" : "Not user content", address_.c_str(),
                      registrationCreated_.c_str(), registrationExpires_.c_str());
}
