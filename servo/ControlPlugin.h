// ControlPlugin: the control laws loaded from the separately built control.dll.
//
// The library exports 51 C functions, each taking a ServoState*: InitControl,
// PreprocessControl, PostprocessControl, PrintDebug and, per control mode, an
// init function (none for nocontrol) and a tick function (see
// servo/ControlModes.h for the names). Every call goes through this object, and
// an entry point the library does not export is never called:
//   - a missing InitControl, PreprocessControl, PostprocessControl, PrintDebug
//     or mode init function is skipped;
//   - a missing tick function makes that mode behave like nocontrol (tau stays
//     as the servo zeroed it). The servo reports this once, when the mode is
//     selected, not every tick.
// When the library cannot be loaded at all, every entry point is absent and the
// servo keeps running without control.
//
// The library stays loaded until the process ends (it is never dlclose'd), so
// the function pointers stay valid for the life of the object.
#pragma once

#include "servo/ControlModes.h"
#include "servo/ServoState.h"

using ControlEntry = void (*)(ServoState*);

class ControlPlugin {
 public:
  static constexpr int kEntryPointCount = 51;

  bool loaded() const { return m_loaded; }
  // How many of the 51 entry points the library exports.
  int resolvedCount() const;

  void initControl(ServoState* state) const { call(m_initControl, state); }
  void preprocessControl(ServoState* state) const { call(m_preprocess, state); }
  void postprocessControl(ServoState* state) const { call(m_postprocess, state); }
  void printDebug(ServoState* state) const { call(m_printDebug, state); }

  // Calls the mode's init function when present (nocontrol has none).
  void initMode(int mode, ServoState* state) const;
  // Calls the mode's tick function; returns false when it is absent, in which
  // case nothing was called.
  bool tickMode(int mode, ServoState* state) const;
  bool hasTick(int mode) const { return isControlMode(mode) && m_tick[mode] != nullptr; }
  bool hasInit(int mode) const { return isControlMode(mode) && m_init[mode] != nullptr; }

 private:
  friend ControlPlugin loadControlPlugin(const char* path);
  static void call(ControlEntry entry, ServoState* state) {
    if (entry) entry(state);
  }

  bool m_loaded = false;
  ControlEntry m_initControl = nullptr;
  ControlEntry m_preprocess = nullptr;
  ControlEntry m_postprocess = nullptr;
  ControlEntry m_printDebug = nullptr;
  ControlEntry m_init[kNumControlModes] = {};
  ControlEntry m_tick[kNumControlModes] = {};
};

// The plug-in's file name, looked up in the working directory.
inline constexpr const char* kControlPluginPath = "./control.dll";

// Loads the library at `path` with dlopen and resolves every entry point by
// name. A library that cannot be loaded prints "\nFail to load DLL.\n" (and the
// loader's reason on standard error) and yields a plug-in with no entry points;
// names the library does not export are listed in one line on standard error.
ControlPlugin loadControlPlugin(const char* path = kControlPluginPath);
