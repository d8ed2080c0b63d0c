// Every file path of the add-on is written with one of four macros and
// normalised before use:
//   %INSTALL_DIR%   folder of the module holding this code, with trailing "\"
//   %DATA_DIR%      the user's application data folder + "\Quillon\" (created)
//   %DESKTOP%       the user's desktop folder, no trailing "\"
//   %PROGRAM_FILES% the Program Files folder, no trailing "\"
#pragma once

#include <string>

// Replaces every macro in path. Only the macros the path holds are looked
// up, so the data folder is created only for paths that name it.
void ExpandPathMacros(std::string& path);

// Turns "/" into "\", expands the macros and gives an existing directory
// exactly one trailing backslash.
void NormalizePath(std::string& path);
