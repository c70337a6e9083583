// Loading a shared library afresh, for reloading control.dll while the
// program runs.
//
// The dynamic loader hands back the library it already holds for a path (or
// for a file it has mapped before) instead of reading the file again, so a
// control.dll rebuilt under its old name would never take effect. The file is
// therefore copied to a private temporary name, loaded from there, and the
// copy removed at once; the loaded mapping stays valid without it.
#pragma once

#include <string>

// Returns the dlopen handle (RTLD_NOW | RTLD_LOCAL) of a fresh copy of the
// library at `path`, or nullptr with the reason, naming `path`, in `error`.
void* dlopenFresh(const char* path, std::string& error);
