// Whether a shared library file is whole before it is handed to the dynamic
// loader, which maps its segments and faults (SIGBUS, ending the program) on
// the part that is missing from a file cut short: a control.dll that a build
// is still writing, or a copy that was interrupted.
#pragma once

#include <string>

// False, with the reason naming `shownAs` in `why`, when `path` is a 64-bit
// ELF file whose program headers, loaded segments or section headers reach
// beyond its end. Files that are not 64-bit ELF are left for the loader to
// refuse with its own reason.
bool elfIsWhole(const char* path, const char* shownAs, std::string& why);
