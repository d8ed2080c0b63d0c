// The verdict window of one download checksum: a hidden top-level pop-up
// (the rating service answers windows it finds by handle, across processes)
// that asks the service for the do-not-warn list, the checksum's verdict and
// the verdicts of the download's site and the referring site, merges the
// answers, and goes away when all of them are in, when the service reports
// a connection failure, or when timer 55 ends the wait.
//
// RunMimeWnd runs the calling thread's messages until that window is gone,
// so that a download read waits for its verdict while the thread's other
// windows keep working.
#pragma once

#include "ie/Download/VerdictMerge.h"
#include "utils/Window/UMessageWindow.h"

#include <windows.h>

#include <cstdint>
#include <string>

class CRPCMsg;

struct MimeVerdict {
    std::int32_t verdict = 99;
    std::int32_t colour = 1;
    std::string text;
    std::string doNotWarnList;
};

// Asks about one checksum and waits. False, with `result` untouched, when
// the window cannot be made; true with the merged verdict otherwise (99 and
// "Unknown download" when nothing arrived in time).
bool RunMimeWnd(const std::string& digest, const std::string& downloadUrl, const std::string& referringSite,
                MimeVerdict& result);

class CMimeWnd {
public:
    static constexpr UINT_PTR kTimerId = 55;
    static constexpr UINT kWaitMilliseconds = 2500;

    CMimeWnd(std::string digest, std::string downloadUrl, std::string referringSite);
    ~CMimeWnd();
    CMimeWnd(const CMimeWnd&) = delete;
    CMimeWnd& operator=(const CMimeWnd&) = delete;

    // Creates the window and sends the queries.
    bool Create();
    // Runs the thread's messages until this window is gone. A quit message
    // ends the wait and is posted again for the thread's own loop.
    void Wait();
    // Destroys the window and stops its timer; nothing when it is gone.
    void Close();

    HWND Window() const { return window_.Window(); }
    const CVerdictMerge& Merge() const { return merge_; }

    // Tests shorten the wait; 0 restores the product's 2500 ms.
    static void SetWaitForTesting(UINT milliseconds);
    static UINT WaitMilliseconds();

private:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void OnCreate();
    BOOL OnCopyData(HWND sender, const COPYDATASTRUCT* data);
    void OnAnswer(const CRPCMsg& answer);
    bool SendQuery(CRPCMsg& query, int answers);

    const std::string digest_;
    const std::string downloadUrl_;
    const std::string referringSite_;
    CVerdictMerge merge_;
    bool timerSet_ = false;
    UMessageWindow window_;
};
