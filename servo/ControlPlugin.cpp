#include "servo/ControlPlugin.h"

#include <dlfcn.h>

#include <cassert>
#include <cstdio>
#include <string>

#include "servo/ElfCheck.h"
#include "servo/FreshLibrary.h"
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

// Empty when the tag matches this servo's record (or there is none).
std::string layoutMismatch(const ServoStateLayoutTag* tag, const char* path) {
  if (!tag || (tag->recordSize == sizeof(ServoState) && tag->version == kServoStateLayoutVersion)) return "";
  char text[320];
  std::snprintf(text, sizeof text,
                "%s was built for another state record (%u bytes, layout %u; this servo's is %zu bytes, "
                "layout %u): rebuild it against this simulator's headers",
                path, unsigned(tag->recordSize), unsigned(tag->version), sizeof(ServoState),
                unsigned(kServoStateLayoutVersion));
  return text;
}

}  // namespace

std::array<ControlPlugin::EntrySlot, ControlPlugin::kEntryPointCount> ControlPlugin::slots() {
  std::array<EntrySlot, kEntryPointCount> out;
  int n = 0;
  out[n++] = {"InitControl", &m_initControl};
  out[n++] = {"PreprocessControl", &m_preprocess};
  out[n++] = {"PostprocessControl", &m_postprocess};
  for (int mode = 0; mode < kNumControlModes; ++mode) {
    if (const char* init = controlModeInitName(mode)) out[n++] = {init, &m_init[mode]};
    out[n++] = {controlModeTickName(mode), &m_tick[mode]};
  }
  out[n++] = {"PrintDebug", &m_printDebug};
  assert(n == kEntryPointCount);
  return out;
}

int ControlPlugin::resolvedCount() const {
  int count = 0;
  for (const EntrySlot& s : slots()) count += *s.entry != nullptr;
  return count;
}

std::string ControlPlugin::lacksOf(const ControlPlugin& other) const {
  const auto mine = slots();
  const auto theirs = other.slots();
  std::string lacking;
  for (int i = 0; i < kEntryPointCount; ++i) {
    if (*theirs[i].entry == nullptr || *mine[i].entry != nullptr) continue;
    lacking += lacking.empty() ? "" : ", ";
    lacking += mine[i].name;
  }
  return lacking;
}

void ControlPlugin::initMode(int mode, ServoState* state) const {
  if (isControlMode(mode)) call(m_init[mode], state);
}

bool ControlPlugin::tickMode(int mode, ServoState* state) const {
  if (!hasTick(mode)) return false;
  m_tick[mode](state);
  return true;
}

void ControlPlugin::unload() {
  void* handle = m_handle;
  *this = ControlPlugin();
  if (handle) dlclose(handle);
}

PluginOpening openControlPlugin(const char* path, bool fresh) {
  PluginOpening out;
  ControlPlugin& plugin = out.plugin;
  plugin.m_path = path;
  // RTLD_LOCAL: the plug-in's own copy of the numeric types stays private to it.
  void* handle = nullptr;
  if (fresh) {
    handle = dlopenFresh(path, out.error);
  } else if (elfIsWhole(path, path, out.error) && !(handle = dlopen(path, RTLD_NOW | RTLD_LOCAL))) {
    const char* reason = dlerror();
    out.error = reason ? reason : path;
  }
  if (!handle) return out;
  const auto* tag = static_cast<const ServoStateLayoutTag*>(dlsym(handle, kServoStateLayoutSymbol));
  out.error = layoutMismatch(tag, path);
  if (!out.error.empty()) {
    dlclose(handle);  // none of its code has been called
    return out;
  }
  plugin.m_loaded = true;
  plugin.m_tagged = tag != nullptr;
  plugin.m_handle = handle;
  for (const ControlPlugin::EntrySlot& slot : plugin.slots())
    *slot.entry = resolve(handle, slot.name, out.missing);
  return out;
}

std::string untaggedWarning(const std::string& path) {
  return path + " has no layout tag (" + kServoStateLayoutSymbol +
         "); loaded without checking that it was built for this state record.\n";
}

ControlPlugin loadControlPlugin(const char* path, bool fresh) {
  PluginOpening opening = openControlPlugin(path, fresh);
  if (!opening.plugin.loaded()) {
    consolePrint("\nFail to load DLL.\n");
    std::fprintf(stderr, "%s\n", opening.error.c_str());
    return opening.plugin;
  }
  if (!opening.plugin.tagged()) std::fputs(untaggedWarning(path).c_str(), stderr);
  if (!opening.missing.empty())
    std::fprintf(stderr, "%s does not export: %s\n", path, opening.missing.c_str());
  return opening.plugin;
}
