#include "servo/ControlPlugin.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "utility/consolePrint.h"

namespace {

ControlEntry resolve(void* handle, const char* name, std::string& missing) {
  // dlsym yields an object pointer; the plug-in exports functions with C linkage.
  void* symbol = dlsym(handle, name);
  if (!symbol) {
    missing += missing.empty() ? "" : ", ";
    missing += name;
    return nullptr;
  }
  return reinterpret_cast<ControlEntry>(symbol);
}

}  // namespace

int ControlPlugin::resolvedCount() const {
  int count = (m_initControl != nullptr) + (m_preprocess != nullptr) + (m_postprocess != nullptr) +
              (m_printDebug != nullptr);
  for (int mode = 0; mode < kNumControlModes; ++mode)
    count += (m_init[mode] != nullptr) + (m_tick[mode] != nullptr);
  return count;
}

void ControlPlugin::initMode(int mode, ServoState* state) const {
  if (isControlMode(mode)) call(m_init[mode], state);
}

bool ControlPlugin::tickMode(int mode, ServoState* state) const {
  if (!hasTick(mode)) return false;
  m_tick[mode](state);
  return true;
}

ControlPlugin loadControlPlugin(const char* path) {
  ControlPlugin plugin;
  // RTLD_LOCAL: the plug-in's own copy of the numeric types stays private to it.
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    consolePrint("\nFail to load DLL.\n");
    const char* reason = dlerror();
    std::fprintf(stderr, "%s\n", reason ? reason : path);
    return plugin;
  }
  plugin.m_loaded = true;
  std::string missing;
  plugin.m_initControl = resolve(handle, "InitControl", missing);
  plugin.m_preprocess = resolve(handle, "PreprocessControl", missing);
  plugin.m_postprocess = resolve(handle, "PostprocessControl", missing);
  for (int mode = 0; mode < kNumControlModes; ++mode) {
    if (const char* init = controlModeInitName(mode)) plugin.m_init[mode] = resolve(handle, init, missing);
    plugin.m_tick[mode] = resolve(handle, controlModeTickName(mode), missing);
  }
  plugin.m_printDebug = resolve(handle, "PrintDebug", missing);
  if (!missing.empty()) std::fprintf(stderr, "%s does not export: %s\n", path, missing.c_str());
  return plugin;
}
