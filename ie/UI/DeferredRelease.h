// Dropping a reference after the current message has been handled.
//
// A window's handler that runs a modal loop (a menu, a dialog) holds a
// reference on the object that embeds the window, since the browser may let
// go of it meanwhile. That reference must not be the one that frees the
// object while the window's own code is still on the stack: it is handed
// here and released from a thread timer once the handler has returned.
#pragma once

#include <unknwn.h>

// Takes over one reference of object (null: nothing) and releases it from
// the calling thread's message loop. When no timer can be had, the
// reference is kept for good (reported): a leak is safe, an early free is not.
void ReleaseLater(IUnknown* object);
