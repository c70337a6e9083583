// ControlPlugin: the control laws loaded from the separately built control.dll.
//
// The library exports 51 C functions, each taking a ServoState*: InitControl,
// PreprocessControl, PostprocessControl, PrintDebug and, per control mode, an
// init function (none for nocontrol) and a tick function (see
// protocol/ControlModeTable.h for the names). Every call goes through this object, and
// an entry point the library does not export is never called:
//   - a missing InitControl, PreprocessControl, PostprocessControl, PrintDebug
//     or mode init function is skipped;
//   - a missing tick function makes that mode behave like nocontrol (tau stays
//     as the servo zeroed it). The servo reports this once, when the mode is
//     selected, not every tick.
// When the library cannot be loaded at all, every entry point is absent and the
// servo keeps running without control.
//
// A library also exports its layout tag (ServoStateLayout, see ServoState.h).
// One whose tag names another record layout is refused, because it would
// misread every field; one without a tag is loaded with a warning.
//
// The library loaded at start stays loaded until the process ends, so the
// function pointers stay valid for the life of the object; only the servo's
// reload unloads a library, the one it replaces.
#pragma once

#include <array>
#include <string>

#include "protocol/ControlModeTable.h"
#include "servo/ServoState.h"

using ControlEntry = void (*)(ServoState*);

struct PluginOpening;

class ControlPlugin {
 public:
  // The four framework functions and every mode's init and tick function, as
  // the mode table names them: a mode added there makes room for itself here.
  static constexpr int kEntryPointCount = [] {
    int count = 4;
    for (const ControlModeInfo& mode : kControlModes) count += (mode.initName != nullptr) + 1;
    return count;
  }();

  bool loaded() const { return m_loaded; }
  // The file it was loaded from.
  const std::string& path() const { return m_path; }
  // Whether the library exports a layout tag (a refused tag is never loaded).
  bool tagged() const { return m_tagged; }
  // How many of the kEntryPointCount entry points the library exports.
  int resolvedCount() const;
  // The entry points `other` exports and this library does not, comma separated.
  std::string lacksOf(const ControlPlugin& other) const;

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

  // Unloads the library and leaves every entry point absent. Only for a
  // library nothing calls any more (copies of this object become invalid).
  void unload();

 private:
  friend PluginOpening openControlPlugin(const char* path, bool fresh);
  static void call(ControlEntry entry, ServoState* state) {
    if (entry) entry(state);
  }
  struct EntrySlot {
    const char* name;  // the exported name
    ControlEntry* entry;
  };
  // Every entry point with its name, in one fixed order.
  std::array<EntrySlot, kEntryPointCount> slots();
  std::array<EntrySlot, kEntryPointCount> slots() const { return const_cast<ControlPlugin*>(this)->slots(); }

  bool m_loaded = false;
  bool m_tagged = false;
  void* m_handle = nullptr;
  std::string m_path;
  ControlEntry m_initControl = nullptr;
  ControlEntry m_preprocess = nullptr;
  ControlEntry m_postprocess = nullptr;
  ControlEntry m_printDebug = nullptr;
  ControlEntry m_init[kNumControlModes] = {};
  ControlEntry m_tick[kNumControlModes] = {};
};

// What opening a plug-in file found, for the caller to report in its own way.
struct PluginOpening {
  ControlPlugin plugin;  // loaded() is false when the file was refused
  std::string error;     // why it was refused: the loader's reason or the layout mismatch
  std::string missing;   // the entry points it does not export, comma separated
};

// Loads the library at `path` and resolves every entry point by name, after
// checking its layout tag. fresh: load a copy of the file, so that a library
// rebuilt since an earlier load is really read again (see FreshLibrary.h).
PluginOpening openControlPlugin(const char* path, bool fresh);

// The one-line warning (line feed included) for a library without a layout tag.
std::string untaggedWarning(const std::string& path);

// The plug-in's file name, looked up in the working directory.
inline constexpr const char* kControlPluginPath = "./control.dll";

// Loads the plug-in at start: openControlPlugin(path, fresh), reported as the
// servo does at start. A library that cannot be loaded prints "\nFail to load
// DLL.\n" (and the reason on standard error) and yields a plug-in with no
// entry points; a missing layout tag and the names the library does not export
// are one line each on standard error. The program loads afresh, so that a
// build or copy that rewrites control.dll in place cannot change the code
// under the running servo; tests that share the library's instance do not.
ControlPlugin loadControlPlugin(const char* path = kControlPluginPath, bool fresh = false);
