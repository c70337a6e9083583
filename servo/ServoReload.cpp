// Reloading control.dll while the servo runs.
//
// The request is handled between two ticks on the servo thread, like every
// other: the arm, the record and the gains are left as they are, so the new
// laws take over from the state the old ones left. A file that cannot be
// loaded, was built for another record layout, or lacks an entry point the
// running plug-in has is refused, and the running plug-in goes on.
#include <string>

#include "servo/Servo.h"
#include "utility/consolePrint.h"

void Servo::reloadPlugin() {
  const std::string path = m_plugin.path().empty() ? kControlPluginPath : m_plugin.path();
  PluginOpening opening = openControlPlugin(path.c_str(), true);
  std::string refusal = opening.error;
  if (refusal.empty()) {
    const std::string lacking = opening.plugin.lacksOf(m_plugin);
    if (!lacking.empty()) refusal = path + " does not export " + lacking;
  }
  if (!refusal.empty()) {
    opening.plugin.unload();
    consolePrint("Reload refused: %s; the running control.dll goes on.\n", refusal.c_str());
    return;
  }
  // Nothing calls the replaced library after this: every call is made here,
  // on the servo thread.
  ControlPlugin replaced = m_plugin;
  m_plugin = opening.plugin;
  replaced.unload();
  if (!m_plugin.tagged()) consolePrint("%s", untaggedWarning(path).c_str());
  if (!opening.missing.empty())
    consolePrint("%s does not export: %s\n", path.c_str(), opening.missing.c_str());
  // The fresh library starts as at start-up, then the current mode as when it
  // was selected (an unknown mode has already ended the session).
  m_plugin.initControl(&m_state);
  if (isControlMode(m_cmode)) startMode();
  consolePrint("Reloaded %s; mode %s started again.\n", path.c_str(), controlModeWord(m_cmode));
}
