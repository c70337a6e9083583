#include "app/TextUI.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "app/CommandArgs.h"
#include "app/CommandTable.h"
#include "app/LineReader.h"
#include "app/NearestWords.h"
#include "app/ServoAgent.h"
#include "servo/Session.h"
#include "utility/PrAssert.h"
#include "utility/PrMatlab.h"
#include "utility/PsPlotter.h"
#include "utility/ScriptReader.h"

namespace {
constexpr int kLineSize = 256;  // command lines are at most 255 characters
constexpr auto kPromptPause = std::chrono::milliseconds(1000);
constexpr auto kConfigurationWait = std::chrono::milliseconds(10000);

// Sleeps for up to duration, returning early once done() holds.
template <typename Done>
void pauseUnless(std::chrono::milliseconds duration, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}
}  // namespace

TextUI::TextUI(ServoAgent* servo)
    : m_servo(servo),
      m_plot(std::make_unique<PsPlotter>(this)),
      m_script(std::make_unique<ScriptReader>(this)) {
  registerCommands(m_commands);
  std::fprintf(stderr, "Initializing TextUI...\n");
}

TextUI::~TextUI() {
  if (curState == START) stop();
  m_plot->stop();
  stopGatherFile();
}

void TextUI::start() {
  PR_ASSERT(curState == STOP);
  m_stop = false;
  m_inputEnded = false;
  try {
    m_listenerThread = std::thread(&TextUI::listenerLoop, this);
  } catch (const std::system_error&) {
    std::fprintf(stderr, "Failed to create servo listener thread.\n");
    std::exit(1);
  }
  try {
    m_consoleThread = std::thread(&TextUI::consoleLoop, this);
  } catch (const std::system_error&) {
    std::fprintf(stderr, "Failed to create console thread.\n");
    std::exit(1);
  }
  curState = START;
}

void TextUI::stop() {
  PR_ASSERT(curState == START);
  m_stop = true;
  m_listenerThread.join();
  // The console thread polls for input, so it leaves as soon as its current
  // command or script is done instead of having to be cancelled.
  m_consoleThread.join();
  curState = STOP;
}

bool TextUI::sessionOver() const { return m_stop || sessionEnded; }

bool TextUI::processCommand(const char* commandStr, char* reply) {
  PR_ASSERT(commandStr != NULL);
  std::unique_lock<std::mutex> lock(m_mutex);
  const bool ok = dispatch(commandStr, reply);
  lock.unlock();
  // Unpaced, the next line must find this one handled and answered.
  if (m_unpacedServo && !sessionOver()) advanceServo(0);
  return ok;
}

bool TextUI::dispatch(const char* commandStr, char* reply) {
  char localReply[kReplySize];
  if (reply == nullptr) reply = localReply;
  reply[0] = '\0';

  char line[kLineSize];
  std::snprintf(line, sizeof line, "%s", commandStr);
  CommandArgs args(line);
  const char* word = args.nextWord();
  if (word == nullptr) return true;

  bool ok = false;
  std::string suggestion;
  const auto entry = m_commands.find(word);
  if (entry == m_commands.end()) {
    // The reply (the window's status bar) keeps the one line; the console adds the guess.
    std::snprintf(reply, kReplySize, "Bad user command '%s'", word);
    suggestion = didYouMeanLine(nearestWords(word, commandWords()));
  } else {
    ok = entry->second.handler(*this, entry->second, args, reply);
  }
  if (!ok) std::fprintf(stderr, "%s\n", reply[0] != '\0' ? reply : "Error");
  if (!suggestion.empty()) std::fprintf(stderr, "%s\n", suggestion.c_str());
  return ok;
}

std::vector<std::string> TextUI::commandWords() const {
  std::vector<std::string> words;
  for (const auto& [word, command] : m_commands) words.push_back(word);
  words.push_back("load");
  return words;
}

void TextUI::pause(long ms) {
  if (!m_unpacedServo) return CommandDispatcher::pause(ms);
  // At least ms of simulated time, granted in slices: the servo never runs
  // further ahead of the listener than one slice of gather rows, which the
  // reply queue holds with room to spare.
  constexpr std::int64_t kSliceTicks = 250;
  std::int64_t ticks = (std::int64_t(ms < kLongestPauseMs ? ms : kLongestPauseMs) + 1) / 2;
  while (ticks > 0 && !sessionOver()) {
    const std::int64_t slice = ticks < kSliceTicks ? ticks : kSliceTicks;
    if (!advanceServo(slice)) return;
    ticks -= slice;
  }
}

bool TextUI::advanceServo(std::int64_t ticks) {
  int sequence = 0;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    sequence = ++m_advanceSent;
    m_msg.clear();
    m_msg.setType(UI_ADVANCE);
    m_msg.writeInt(2);
    m_msg.writeInt(static_cast<int>(ticks));
    m_msg.writeInt(sequence);
    if (!m_servo->send(m_msg)) return false;
  }
  std::unique_lock<std::mutex> lock(m_advanceMutex);
  while (m_advancedSequence < sequence) {
    if (sessionOver()) return false;
    m_advanceAnswered.wait_for(lock, std::chrono::milliseconds(20));
  }
  return true;
}

void TextUI::runScript(const char* fileName) {
  char name[kLineSize];
  std::snprintf(name, sizeof name, "%s", fileName);
  m_script->run(name);
  // Unpaced, what the script printed last is out before anything else is.
  if (m_unpacedServo && !sessionOver()) advanceServo(0);
}

bool TextUI::sendMessage(char* reply) {
  if (m_servo->send(m_msg)) return true;
  std::snprintf(reply, kReplySize, "The servo is not taking requests; command not sent.");
  return false;
}

// ---- console thread ---------------------------------------------------------

void TextUI::waitForConfiguration() {
  // Unpaced, the first line must find every start-up message handled: the
  // servo sends them all before it takes its first request.
  if (m_unpacedServo) {
    advanceServo(0);
    return;
  }
  pauseUnless(kConfigurationWait, [this] { return sessionOver() || updateCount() > 0; });
}

void TextUI::consoleLoop() {
  waitForConfiguration();
  if (!m_startupScript.empty()) runScript(m_startupScript.c_str());
  const std::unique_ptr<LineReader> input =
      openConsoleInput(STDIN_FILENO, commandWords(), consoleHistoryPath());
  const bool interactive = isatty(STDIN_FILENO) == 1;
  char line[kLineSize];
  while (!sessionOver()) {
    input->showPrompt("KORVEX:> ");
    const LineReader::Result result = input->readLine(line, kLineSize, [this] { return sessionOver(); });
    if (result == LineReader::kStopped) break;
    if (result == LineReader::kEndOfInput) {
      // What the last lines print comes before the end is reported.
      if (m_endSessionAtEndOfInput) m_plot->stop();
      awaitReplies(kFinalReplyWait);
      std::fprintf(stderr, "Error reading user input.\n");
      m_inputEnded = true;
      if (m_endSessionAtEndOfInput) endSession();
      break;
    }
    if (std::strncmp(line, "load", 4) == 0) {
      // The script reader cuts the name at its line feed.
      m_script->run(std::strlen(line) > 5 ? line + 5 : line + std::strlen(line));
    } else {
      processCommand(line);
    }
    pauseForReply(interactive);
  }
}

void TextUI::pauseForReply(bool interactive) {
  // Give the servo's reply time to arrive before the next prompt. A person
  // typing never notices the full second; a file piped in would crawl at a
  // line a second, so there the pause ends once the servo has answered
  // everything sent so far (the second stays the upper bound).
  // Unpaced, the servo's answers (and a script's last words) are waited for exactly.
  if (m_unpacedServo) {
    if (!sessionOver()) advanceServo(0);
    return;
  }
  if (interactive) return pauseUnless(kPromptPause, [this] { return sessionOver(); });
  awaitReplies(kPromptPause);
}

// ---- locked getters -------------------------------------------------------

void TextUI::requestRefresh(int code) {
  m_msg.clear();
  m_msg.setType(code);
  m_msg.writeInt(2);
  // A refused refresh only leaves the stored value older.
  if (m_servo->send(m_msg) && code == UI_CURTIME) ++m_timeRequests;
}

bool TextUI::awaitReplies(std::chrono::milliseconds limit) {
  if (sessionOver()) return false;
  if (m_repliesPolledByCaller) return true;
  // Unpaced, the servo keeps no time to wait for: its answer is waited for exactly.
  if (m_unpacedServo) return advanceServo(0);
  long long asked = 0;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    requestRefresh(UI_CURTIME);
    asked = m_timeRequests;
  }
  const auto answered = [this, asked] { return m_timeReplies.load(std::memory_order_acquire) >= asked; };
  pauseUnless(limit, [&] { return sessionOver() || answered(); });
  return answered();
}

void TextUI::refreshAndCopy(int code, const PrVector& stored, PrVector& value) {
  std::lock_guard<std::mutex> lock(m_mutex);
  requestRefresh(code);
  value = stored;
}

void TextUI::getQ(PrVector& q) { refreshAndCopy(UI_Q, m_q, q); }
void TextUI::getDq(PrVector& dq) { refreshAndCopy(UI_DQ, m_dq, dq); }
void TextUI::getTau(PrVector& tau) { refreshAndCopy(UI_TAU, m_tau, tau); }
void TextUI::getMsi(PrVector& msi) { refreshAndCopy(UI_MSI, m_msi, msi); }
void TextUI::getEMass(PrVector& eM) { refreshAndCopy(UI_EMASS, m_eM, eM); }
void TextUI::getAccLimit(PrVector& accLimit) { refreshAndCopy(UI_ACC_LIMIT, m_accLimit, accLimit); }
void TextUI::getSForceLimit(PrVector& sForceLimit) {
  refreshAndCopy(UI_SFORCE_LIMIT, m_sForceLimit, sForceLimit);
}
void TextUI::getX(PrVector& x) { refreshAndCopy(UI_X, m_x, x); }

void TextUI::getWForce(PrVector6& wForce) {
  std::lock_guard<std::mutex> lock(m_mutex);
  requestRefresh(UI_FORCES);
  wForce = m_wForce;
}

float TextUI::getCurTime() {
  std::lock_guard<std::mutex> lock(m_mutex);
  requestRefresh(UI_CURTIME);
  return m_curTime;
}

// ---- plain accessors --------------------------------------------------------

ServoConfiguration TextUI::configuration() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_config;
}

int TextUI::robotType() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_config.robotType;
}

int TextUI::dof() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_config.dof;
}

int TextUI::numConfigParms() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_config.numConfigParms;
}

void TextUI::getKp(int mode, PrVector& kp) const {
  PR_ASSERT(mode >= 0 && mode < kNumControlModes);
  std::lock_guard<std::mutex> lock(m_mutex);
  kp = m_kp[mode];
}

void TextUI::getKv(int mode, PrVector& kv) const {
  PR_ASSERT(mode >= 0 && mode < kNumControlModes);
  std::lock_guard<std::mutex> lock(m_mutex);
  kv = m_kv[mode];
}
