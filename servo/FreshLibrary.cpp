#include "servo/FreshLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "servo/ElfCheck.h"

namespace fs = std::filesystem;

namespace {

// The loader's reason mentions the copy; the user knows the file by its own name.
std::string loaderError(const std::string& copy, const char* path) {
  const char* reason = dlerror();
  std::string text = reason ? reason : "the dynamic loader gave no reason";
  const size_t pathLength = std::strlen(path);
  for (size_t at = text.find(copy); at != std::string::npos; at = text.find(copy, at + pathLength))
    text.replace(at, copy.size(), path);
  return text;
}

}  // namespace

void* dlopenFresh(const char* path, std::string& error) {
  struct stat file {};
  if (stat(path, &file) != 0) {
    error = std::string(path) + ": " + std::strerror(errno);
    return nullptr;
  }
  if (!S_ISREG(file.st_mode)) {
    error = std::string(path) + ": not a regular file";
    return nullptr;
  }
  std::error_code ec;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvex-plugin-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    error = std::string("no temporary directory for a fresh copy of ") + path + ": " + std::strerror(errno);
    return nullptr;
  }
  const std::string copy = pattern + "/" + fs::path(path).filename().string();
  void* handle = nullptr;
  // The copy is checked, not the file: that one may still be growing.
  if (!fs::copy_file(path, copy, ec))
    error = std::string(path) + ": cannot be copied for loading: " + ec.message();
  else if (elfIsWhole(copy.c_str(), path, error) && !(handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL)))
    error = loaderError(copy, path);
  fs::remove(copy, ec);
  fs::remove(pattern, ec);
  return handle;
}
