// Access to the test plug-ins built beside the tests (see tests/CMakeLists.txt).
#pragma once

#include <dlfcn.h>

#include <string>
#include <vector>

#include "plugins/RecordedCall.h"

inline std::string testPluginPath(const char* name) {
  return std::string(KORVEX_TEST_PLUGIN_DIR) + "/" + name + ".so";
}

// The recording plug-in's log, read through its extra exports.
class RecordingLog {
 public:
  explicit RecordingLog(const char* pluginName = "recording_plugin") {
    // Same path as the servo's dlopen, so this is the same loaded instance.
    m_handle = dlopen(testPluginPath(pluginName).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) return;
    m_calls = reinterpret_cast<const RecordedCall* (*)(int*)>(dlsym(m_handle, "recordedCalls"));
    m_clear = reinterpret_cast<void (*)()>(dlsym(m_handle, "clearRecordedCalls"));
    m_setTorque = reinterpret_cast<void (*)(float)>(dlsym(m_handle, "setTickTorque"));
  }
  ~RecordingLog() {
    if (m_handle) dlclose(m_handle);
  }
  bool ok() const { return m_calls && m_clear && m_setTorque; }
  void clear() const { m_clear(); }
  void setTickTorque(float value) const { m_setTorque(value); }
  std::vector<RecordedCall> calls() const {
    int count = 0;
    const RecordedCall* first = m_calls(&count);
    if (first == nullptr || count <= 0) return {};
    return std::vector<RecordedCall>(first, first + count);
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const RecordedCall& call : calls()) out.emplace_back(call.name);
    return out;
  }

 private:
  void* m_handle = nullptr;
  const RecordedCall* (*m_calls)(int*) = nullptr;
  void (*m_clear)() = nullptr;
  void (*m_setTorque)(float) = nullptr;
};
