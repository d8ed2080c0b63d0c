// Where the service's ratings database comes from: a path given on the
// command line, else "ratings.txt" beside Quillon.exe, else the copy built
// into Quillon.exe.
#pragma once

#include "service/CRatingsStore.h"

#include <string>

// Resource id (RCDATA) of the built-in copy of the database.
constexpr int kRatingsResource = 101;
constexpr char kRatingsFile[] = "%INSTALL_DIR%ratings.txt";

// Fills the store. A database given by path that cannot be read, or any
// database that does not parse, is reported and leaves the store empty
// (every answer UNKNOWN); false then.
bool LoadRatings(CRatingsStore& store, const std::string& explicitPath);
