// Building the plug-in kit's template out of tree, as a user does.
#pragma once

#include <string>

// Copies the kit at kitDir into a fresh directory named after `name` under
// the temporary directory and runs make there. Returns the built control.dll,
// or an empty path with the reason (and where the build log is) in *why.
std::string buildKitTemplate(const std::string& kitDir, const std::string& name, std::string* why);
