// What the checker prints for one site or one file: aligned label and value
// columns, verdicts as words with their numbers.
#pragma once

#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"

#include <string>

// The answers to one site query; either may be missing (not answered in time).
std::string SiteReport(const std::string& url, const CClientURLResults* verdict,
                       const CClientMetaResults* facts, bool connectionFailed);

// The answer to one file's checksum query (null: none in time).
std::string DownloadReport(const std::string& path, const std::string& md5,
                           const CClientMD5Results* verdict);

// "WARN (4)"; "none (-1)" for a code outside the table.
std::string CodeWords(std::int32_t code);
