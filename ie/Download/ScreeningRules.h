// The fixed rules of download screening that need no operating system: what
// a download's first bytes and its address say about it, the last-click
// record shared by the browser windows, the user's do-not-warn list and the
// notice sent when the user goes on with a warned download.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Bytes of the stream needed before the signatures are compared.
constexpr std::size_t kSignatureBytes = 10;

enum class ContentKind {
    kNeither,  // neither table matched
    kProgram,  // executable, installer or archive
    kMedia,    // image, movie or Flash
};

// Compares the first bytes of a stream with the program signatures, then
// with the media signatures. Rows longer than the bytes given never match.
ContentKind MatchSignature(const std::uint8_t* bytes, std::size_t size);

// Whether the extension of the address path (from its last ".", compared
// without regard to ASCII case) is one of the media extensions.
bool HasMediaExtension(std::string_view urlPath);

// The last-click record: a 64-bit time in seconds since 1970, then the
// clicked page's domain, NUL-terminated, in a block of this size.
constexpr std::size_t kClickRecordSize = 208;
constexpr std::size_t kClickDomainOffset = 8;
// At most this much of the domain is taken; the copy is always terminated.
constexpr std::size_t kClickDomainLimit = 199;
// How recent a click must be to count as the download's referring page.
constexpr std::int64_t kClickWindowSeconds = 2;

// The domain of the record when the click happened within the last two
// seconds (0 <= now - time < 2); otherwise, or for a short record, "". The
// block is written by other processes: nothing in it is trusted to be
// terminated.
std::string ReferringSiteFromClickRecord(const std::uint8_t* record, std::size_t size, std::int64_t now);

// Whether the download's site is on the do-not-warn list (";"-separated
// sites as the service sends them): the registrable domain of the download
// address equals a listed site or lies beneath it. Case does not matter; an
// entry written as an address counts by its host. An address without a
// domain matches nothing.
bool DownloadSiteOnList(std::string_view downloadUrl, std::string_view listText);

// The text shown in the warning dialog for the service's verdict text: the
// service's "don't know" answers get a sentence the user can act on.
std::string WarningDialogText(const std::string& verdictText);

// The notice telling the service that the user went on with a warned
// download: "type=override&url=<url>[&cksum=<digest>]", the address escaped
// as a query value so that nothing in it can add fields.
std::string OverrideNoticeText(const std::string& downloadUrl, const std::string& digest);
