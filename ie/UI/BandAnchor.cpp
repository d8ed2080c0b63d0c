#include "ie/UI/IBalloonAnchor.h"

namespace {

// The thread's toolbar band, looked up in the running-browser map at each
// call. This module has no band yet: the balloon sits in the corner of the
// browser window.
class CBandAnchor final : public IBalloonAnchor {
public:
    HWND MenuBarWindow() override { return nullptr; }
    bool IsOnStatusFace(POINT) override { return false; }
};

}  // namespace

IBalloonAnchor& ThreadBandAnchor() {
    static CBandAnchor anchor;
    return anchor;
}
