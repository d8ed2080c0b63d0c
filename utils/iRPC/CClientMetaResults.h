// Facts about a site's domain from the rating service: registration,
// location, popularity, server address and the site's address patterns.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <string>
#include <vector>

class CClientMetaResults : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 5;

    CClientMetaResults();
    // Built from the service's answer document (Windows only). The address
    // and the registration texts are not in that document: set them apart.
    explicit CClientMetaResults(const char* document);

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override;
    std::string ToString() const override;

    std::int32_t Expiry() const { return expiry_; }
    const std::string& BaseDomain() const { return baseDomain_; }
    // Regular expressions of the addresses that belong to the site.
    const std::vector<std::string>& SitePatterns() const { return sitePatterns_; }
    const std::string& Popularity() const { return popularity_; }
    // Seconds since 1970; 0 when unknown.
    std::int32_t CreationDate() const { return creationDate_; }
    const std::string& RegistrantCountry() const { return registrantCountry_; }
    const std::string& RegistrantState() const { return registrantState_; }
    const std::string& RegistrantCity() const { return registrantCity_; }
    const std::string& AddressCountry() const { return addressCountry_; }
    bool DynamicAddress() const { return dynamicAddress_; }
    bool UserContent() const { return userContent_; }
    const std::string& Address() const { return address_; }
    const std::string& RegistrationCreated() const { return registrationCreated_; }
    const std::string& RegistrationExpires() const { return registrationExpires_; }

    void SetAddress(std::string address) { address_ = std::move(address); }
    void SetRegistrationCreated(std::string text) { registrationCreated_ = std::move(text); }
    void SetRegistrationExpires(std::string text) { registrationExpires_ = std::move(text); }

private:
    void ReadDocument(const char* document);

    std::int32_t expiry_ = 0;
    std::string baseDomain_;
    std::vector<std::string> sitePatterns_;
    std::string popularity_;
    std::int32_t creationDate_ = 0;
    std::string registrantCountry_;
    std::string registrantState_;
    std::string registrantCity_;
    std::string addressCountry_;
    bool dynamicAddress_ = false;
    bool userContent_ = false;
    std::string address_;
    std::string registrationCreated_;
    std::string registrationExpires_;
};
