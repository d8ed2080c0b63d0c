// Every file path of the add-on is written with one of four macros and
// normalised before use:
//   %INSTALL_DIR%   folder of the module holding this code, with trailing "\"
//   %DATA_DIR%      the user's application data folder + "\Quillon\" (created)
//   %DESKTOP%       the user's desktop folder, no trailing "\"
//   %PROGRAM_FILES% the Program Files folder, no trailing "\"
#pragma once

#include <string>

// Replaces every macro in path. Only the macros the path holds are looked
// up, so the data folder is created only for paths that name it. A folder
// that cannot be found is reported ("Folder not found") and the path
// emptied, false returned: nothing may land in the current folder instead.
bool ExpandPathMacros(std::string& path);

// Turns "/" into "\", expands the macros and gives an existing directory
// exactly one trailing backslash. False, with the path empty, as above.
bool NormalizePath(std::string& path);
