// The add-on's version, in one place for the version resource, the About
// dialog and the upgrade link. Plain preprocessor definitions, since
// QuillonIE.rc includes this file too.
#pragma once

#define QUILLON_VERSION_MAJOR   1
#define QUILLON_VERSION_MINOR   2
#define QUILLON_VERSION_PATCH   0
#define QUILLON_VERSION_BUILD   11
#define QUILLON_VERSION_STRING  "1.2.0.11"

// The build number and time the About dialog's version line shows.
#define QUILLON_BUILD_NUMBER    2321
#define QUILLON_BUILD_TIME      "13:17 3-Mar-2006"
