// The COM classes this module serves. Their ids are fixed: the browser finds
// the helper and the band through them, and installed registrations name them.
#pragma once

#include <windows.h>

#include <string>

// The browser helper created for every browser window.
extern const CLSID CLSID_QuillonBHO;      // {089FD14D-132B-48FC-8861-0048AE113215}
// The toolbar band carrying the status button.
extern const CLSID CLSID_QuillonToolbar;  // {0BF43445-2F28-4351-9252-17FE6E806AA0}
// The download MIME filter.
extern const CLSID CLSID_QuillonMimeFilter;  // {1E2866A1-D239-411E-A35D-3CBC34C84E92}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", as the registry and the browser spell it.
std::string ClassIdString(REFCLSID clsid);
