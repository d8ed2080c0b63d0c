// The evaluation message: one browser event or evaluation outcome on its
// way from the browser helper to the evaluator, from the evaluator to its
// documents, or from a document to the decision matrix. Which fields count
// depends on the type (see the layout notes beside each).
#pragma once

#include "ie/Evaluation/PageFrameInfo.h"
#include "utils/Ownership/WinOwnership.h"

#include <oaidl.h>

#include <cstdint>
#include <string>

class CEvalForm;
class CRPCMsg;

enum EvalMessageType : std::int32_t {
    EVAL_BEFORE_NAVIGATE = 1,       // navigation layout
    EVAL_NAVIGATE_COMPLETE = 2,     // navigation layout
    EVAL_DOCUMENT_COMPLETE = 3,     // navigation layout
    EVAL_DOWNLOAD_BEGIN = 4,        // bare
    EVAL_DOWNLOAD_COMPLETE = 5,     // bare
    EVAL_DOWNLOAD_INTERACTIVE = 6,  // bare
    EVAL_QUIT = 7,                  // bare
    EVAL_KEY_TYPED = 8,             // bare
    EVAL_CLICK = 9,                 // bare
    EVAL_TIMER = 10,                // bare
    EVAL_SERVER_MESSAGE = 11,       // rpc
    EVAL_NEW_PAGE = 12,             // bare
    EVAL_VERDICT = 14,              // info
    EVAL_PHISHING = 15,             // category, reason
    EVAL_NOT_RATED = 16,            // bare
    EVAL_EMAIL_FORM = 17,           // form
    EVAL_COMMERCE_FORM = 18,        // form
};

class CEvalMessage {
public:
    explicit CEvalMessage(std::int32_t messageType) : type(messageType) {}
    // Navigation layout; takes its own reference on `browser` (may be null).
    CEvalMessage(std::int32_t messageType, std::string url, IDispatch* browser, bool page)
        : type(messageType), text(std::move(url)), disp(browser), isPage(page) {}

    std::int32_t type;

    // Navigation: the URL, the browser object of the page or frame the event
    // concerns, and whether that object is the top-level browser.
    std::string text;
    win::ComPtr<IDispatch> disp;
    bool isPage = false;

    // Service message: the decoded answer; the sender keeps and frees it.
    const CRPCMsg* rpc = nullptr;

    // Verdict: a copy of the page's record.
    CPageFrameInfo info;

    // Phishing: the scripts' category (1 phishing, other non-zero fraud) and
    // the reason shown to the user.
    std::int32_t category = 0;
    std::string reason;

    // Form in use: the form concerned; the decision matrix does not read it.
    CEvalForm* form = nullptr;
};

// The type's name for traces ("EVAL_VERDICT"), "EVAL_UNKNOWN" for others.
const char* EvalMessageTypeName(std::int32_t type);
