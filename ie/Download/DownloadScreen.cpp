#include "ie/Download/DownloadScreen.h"

#include "utils/URL/UURL.h"

#include <algorithm>
#include <cstring>

CDownloadScreen::CDownloadScreen(QueryFunction query) : query_(std::move(query)) {}

void CDownloadScreen::SetDownloadUrl(const std::string& url) {
    downloadUrl_ = url;
    // The path only: "run.exe?img=x.png" is a program, not an image.
    const UURL cracked(url);
    mediaByExtension_ = HasMediaExtension(cracked.GetUrlPath());
}

void CDownloadScreen::OnData(const std::uint8_t* data, std::size_t size) {
    if (!data || size == 0)
        return;
    CheckSignature(data, size);
    if (kind_ == ContentKind::kMedia)
        return;
    // Media by its address is left alone unless its bytes say program; the
    // chunks read before that is known stay out of the checksums.
    if (mediaByExtension_ && kind_ != ContentKind::kProgram)
        return;
    AddPartialData(data, size);
    full_.Update(data, size);
}

void CDownloadScreen::OnEndOfData() {
    if (fullDone_ || warningDue_)
        return;
    fullDone_ = true;
    QueryVerdict(full_);
}

bool CDownloadScreen::ConfirmationNeeded() const {
    if (dialogShown_ || !warningDue_)
        return false;
    if (verdict_.code != 2 && verdict_.code != 4)
        return false;
    return !DownloadSiteOnList(downloadUrl_, verdict_.doNotWarnList);
}

void CDownloadScreen::CheckSignature(const std::uint8_t* data, std::size_t size) {
    if (signatureKnown_)
        return;
    // Only the first bytes are kept; short first reads gather until there
    // are enough to compare.
    const std::size_t take = std::min(size, sizeof header_ - headerSize_);
    std::memcpy(header_ + headerSize_, data, take);
    headerSize_ += take;
    if (headerSize_ < kSignatureBytes)
        return;
    kind_ = MatchSignature(header_, headerSize_);
    signatureKnown_ = true;
}

void CDownloadScreen::AddPartialData(const std::uint8_t* data, std::size_t size) {
    if (partialDone_)
        return;
    const std::size_t room = kPartialBytes - partialCount_;
    if (size < room) {
        partial_.Update(data, size);
        partialCount_ += static_cast<std::uint32_t>(size);
        return;
    }
    partial_.Update(data, room);
    partialCount_ = kPartialBytes;
    partialDone_ = true;
    QueryVerdict(partial_);
}

void CDownloadScreen::QueryVerdict(UMD5& checksum) {
    if (warningDue_ || kind_ == ContentKind::kMedia)
        return;
    // Media by its address was never fed: asking about the checksum of
    // nothing would only hold the download up.
    if (mediaByExtension_ && kind_ != ContentKind::kProgram)
        return;
    const std::string digest = checksum.FinalHex();
    if (digest.empty())
        return;
    digest_ = digest;
    ++queries_;
    if (!query_)
        return;
    Verdict answer = verdict_;
    if (!query_(digest_, answer))
        return;
    verdict_ = answer;
    const bool program = kind_ == ContentKind::kProgram;
    warningDue_ = ((verdict_.code == 2 || verdict_.code == 3) && program) || verdict_.code == 4;
}
