#pragma once
// The full path of a loaded module's file, however long.

#include <windows.h>

#include <string>

namespace marupo::win {

// The path of `module`'s file (null: the program's); empty when the system cannot tell.
std::wstring ModuleFileName(HMODULE module);

}  // namespace marupo::win
