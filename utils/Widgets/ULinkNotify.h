// What a link window calls when it is clicked: the window that owns the link
// (the safety balloon, the alert dialog) learns which of its links it was.
#pragma once

class ULinkNotify {
public:
    // `action` is the action id the link was given.
    virtual void DoAction(int action) = 0;

protected:
    ~ULinkNotify() = default;  // links never own their target
};
