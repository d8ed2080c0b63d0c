#include "ie/Evaluation/EvalMessage.h"

const char* EvalMessageTypeName(std::int32_t type) {
    switch (type) {
    case EVAL_BEFORE_NAVIGATE: return "EVAL_BEFORE_NAVIGATE";
    case EVAL_NAVIGATE_COMPLETE: return "EVAL_NAVIGATE_COMPLETE";
    case EVAL_DOCUMENT_COMPLETE: return "EVAL_DOCUMENT_COMPLETE";
    case EVAL_DOWNLOAD_BEGIN: return "EVAL_DOWNLOAD_BEGIN";
    case EVAL_DOWNLOAD_COMPLETE: return "EVAL_DOWNLOAD_COMPLETE";
    case EVAL_DOWNLOAD_INTERACTIVE: return "EVAL_DOWNLOAD_INTERACTIVE";
    case EVAL_QUIT: return "EVAL_QUIT";
    case EVAL_KEY_TYPED: return "EVAL_KEY_TYPED";
    case EVAL_CLICK: return "EVAL_CLICK";
    case EVAL_TIMER: return "EVAL_TIMER";
    case EVAL_SERVER_MESSAGE: return "EVAL_SERVER_MESSAGE";
    case EVAL_NEW_PAGE: return "EVAL_NEW_PAGE";
    case EVAL_VERDICT: return "EVAL_VERDICT";
    case EVAL_PHISHING: return "EVAL_PHISHING";
    case EVAL_NOT_RATED: return "EVAL_NOT_RATED";
    case EVAL_EMAIL_FORM: return "EVAL_EMAIL_FORM";
    case EVAL_COMMERCE_FORM: return "EVAL_COMMERCE_FORM";
    default: return "EVAL_UNKNOWN";
    }
}
