// How many GDI and USER objects this process holds, for tests that show a
// widget releases what it makes. GetGuiResources where the system answers
// it; Wine's is a stub that answers 0, so there the GDI objects are counted
// in the process's GDI handle table (as the system does) and the USER
// objects as the windows of the process, the USER objects our widgets make
// besides menus (which their tests check with IsMenu).
#pragma once

#include <windows.h>

namespace testing_support {

DWORD GdiObjectCount();
DWORD UserObjectCount();

}  // namespace testing_support
