// What the download filter knows about one download stream and decides from
// it, apart from COM and windows: the kind of file by its first bytes and
// its address, two MD5 checksums fed as the data passes (over the first
// 20480 bytes and over everything), when to ask for a verdict, and whether
// the user must confirm. The verdict itself comes from outside, through the
// query function, which may wait (the filter runs the verdict window).
//
// States move one way: nothing known -> kind known -> partial checksum asked
// (streams of 20480 bytes or more) -> full checksum asked at the end, or a
// warning due (no more queries) -> the dialog shown at most once.
#pragma once

#include "ie/Download/ScreeningRules.h"
#include "utils/Hash/UMD5.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class CDownloadScreen {
public:
    static constexpr std::uint32_t kPartialBytes = 20480;

    // What one query answers.
    struct Verdict {
        std::int32_t code = 99;
        std::int32_t colour = 1;
        std::string text;
        std::string doNotWarnList;
    };
    // Asks about a digest; false when no answer could even be sought (the
    // stored verdict then stays), true with the verdict written otherwise.
    using QueryFunction = std::function<bool(const std::string& digest, Verdict& verdict)>;

    explicit CDownloadScreen(QueryFunction query);

    // The download address, set once before data flows.
    void SetDownloadUrl(const std::string& url);
    const std::string& DownloadUrl() const { return downloadUrl_; }

    // One chunk as it passes (never copied beyond the first 10 bytes).
    void OnData(const std::uint8_t* data, std::size_t size);
    // End of data: asks about the full checksum unless that was done or a
    // warning is due already.
    void OnEndOfData();

    // Whether the user must be asked now: a warning is due, its verdict is
    // INFO or WARN, the download's site is not on the do-not-warn list and
    // no dialog was shown for this stream yet.
    bool ConfirmationNeeded() const;
    // Marks the dialog shown; it is never shown again for this stream.
    void SetDialogShown() { dialogShown_ = true; }
    // The text for the dialog.
    std::string DialogText() const { return WarningDialogText(verdict_.text); }

    const Verdict& LastVerdict() const { return verdict_; }
    const std::string& Digest() const { return digest_; }
    bool MediaByExtension() const { return mediaByExtension_; }
    bool MediaByContent() const { return kind_ == ContentKind::kMedia; }
    bool ProgramByContent() const { return kind_ == ContentKind::kProgram; }
    bool WarningDue() const { return warningDue_; }
    bool PartialDone() const { return partialDone_; }
    bool FullDone() const { return fullDone_; }
    bool DialogShown() const { return dialogShown_; }
    // Queries made so far.
    int QueryCount() const { return queries_; }

private:
    void CheckSignature(const std::uint8_t* data, std::size_t size);
    void AddPartialData(const std::uint8_t* data, std::size_t size);
    void QueryVerdict(UMD5& checksum);

    QueryFunction query_;
    std::string downloadUrl_;
    bool mediaByExtension_ = false;
    bool signatureKnown_ = false;
    ContentKind kind_ = ContentKind::kNeither;
    std::uint8_t header_[kSignatureBytes] = {};
    std::size_t headerSize_ = 0;
    Verdict verdict_;
    std::string digest_;
    UMD5 partial_;
    std::uint32_t partialCount_ = 0;
    bool partialDone_ = false;
    UMD5 full_;
    bool fullDone_ = false;
    bool warningDue_ = false;
    bool dialogShown_ = false;
    int queries_ = 0;
};
