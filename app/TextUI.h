// The text console: the user interface's command interpreter.
//
// It owns the table of command words and turns each command line into one
// request to the servo (through the ServoAgent) or into a local action
// (plotting). It keeps the latest copy of every value the servo has reported
// and runs two threads: the console thread, which prompts "KORVEX:> " on
// standard output and reads lines from standard input, and the servo
// listener thread, which receives the servo's messages and stores them.
//
// Command lines reach processCommand from the console thread, scripts, the
// window and shutdown. m_mutex (the command mutex) serialises them and the
// locked getters, so the one outgoing message record is never shared. The
// listener stores under the same mutex, holding it only while copying; it
// never waits for anything while holding it, so a getter never blocks on the
// servo. Handlers that wait for another thread (quit, plot stop) release the
// mutex around the wait.
//
// The ServoAgent must outlive the console. docs/architecture.md shows the
// threads, queues and locks of the whole process.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/CommandHelp.h"
#include "matrix/PrVector.h"
#include "matrix/PrVector6.h"
#include "protocol/ServoConfiguration.h"
#include "servo/ScopeSample.h"
#include "utility/CommandDispatcher.h"
#include "utility/JointPositionSource.h"
#include "utility/unitMsg.h"

class CommandArgs;
class PrMatlab;
class PsPlotter;
class ScriptReader;
class ServoAgent;
class TextUI;

// One entry of the command table: a handler and the request it sends.
struct Command {
  // Returns true on success; on failure writes the error text into reply.
  using Handler = bool (*)(TextUI& ui, const Command& command, CommandArgs& args, char* reply);
  Handler handler;
  int code = 0;      // message code, control mode or constant type
  int argument = 0;  // reply destination, value count, ...
  CommandHelp help;  // what "help" tells about the word
};

class TextUI : public CommandDispatcher, public JointPositionSource {
 public:
  enum State { START = 0, STOP = 1 };

  explicit TextUI(ServoAgent* servo);
  ~TextUI() override;
  TextUI(const TextUI&) = delete;
  TextUI& operator=(const TextUI&) = delete;

  // Starts the listener thread, then the console thread. Requires STOP.
  void start();
  // Ends both threads and waits for them. Requires START.
  void stop();
  State state() const { return curState; }

  // When set, end of standard input ends the session (used without a window).
  void setEndSessionAtEndOfInput(bool end) { m_endSessionAtEndOfInput = end; }
  // Whether the console thread has stopped reading standard input.
  bool inputEnded() const { return m_inputEnded; }
  // Whether quit, exit or break has reached the servo: shutdown need not ask again.
  bool quitSent() const { return m_quitSent; }

  // Set before start() when the servo runs unpaced (korvex --fast): every
  // command line then returns only once the servo has handled it and its
  // answers have been handled here, and a script's wait lets that much
  // simulated time pass, so a run is the same every time.
  void setUnpacedServo(bool unpaced) { m_unpacedServo = unpaced; }
  bool unpacedServo() const { return m_unpacedServo; }

  // For callers that run the console without its threads and hand every
  // servo message to pollServoMessages themselves, in the same thread, after
  // each line (the Python module): nothing is left to wait for, so waiting
  // for the servo's answers returns at once.
  void setRepliesPolledByCaller(bool polled) { m_repliesPolledByCaller = polled; }

  // Where the servo's ticks go when they come over the link (SERVO_SCOPE,
  // from a servo in another process); set before start(). The listener is
  // the ring's one writer. Without a ring they are dropped.
  void setScopeRing(ScopeRing* ring) { m_scopeRing = ring; }

  bool processCommand(const char* commandStr, char* reply = nullptr) override;
  // Every word typed at the prompt: the table's and load, in order.
  std::vector<std::string> commandWords() const;
  bool sessionOver() const override;
  // Asks the servo for the time and waits (a second at most) for the answer:
  // the servo answers in order, so all it printed for earlier lines is out.
  void awaitReplies() override { awaitReplies(kReplyWait); }
  // The same with a limit of one's own; true when the answer came.
  bool awaitReplies(std::chrono::milliseconds limit);
  static constexpr std::chrono::milliseconds kReplyWait{1000};
  // How long quit and the end of input wait for the servo to catch up with
  // the lines before them (a script may have queued thousands).
  static constexpr std::chrono::milliseconds kFinalReplyWait{10000};

  void pause(long ms) override;

  // Lets the servo run ticks more ticks (500 a simulated second; 0: none) and
  // waits until it has and until everything it sent before answering has
  // been handled here. Holds back no other thread. False when the session
  // ended first or the request could not be sent. Unpaced, the servo runs
  // exactly these ticks; in real time the answer just comes that many ticks later.
  bool advanceServo(std::int64_t ticks);

  // Runs a command script as a typed "load" line would (name may end with a line feed).
  void runScript(const char* fileName);

  // Handles the servo messages waiting now, as the listener thread does;
  // for callers that run without the console's threads. Returns how many.
  int pollServoMessages();

  // A script the console thread runs before its first prompt (empty: none).
  void setStartupScript(const std::string& fileName) { m_startupScript = fileName; }

  // After the servo thread has ended and the console has stopped: ends a
  // running plot (its file complete), handles the servo messages still queued
  // (gather rows, text), so nothing sent before the end is lost, and closes
  // the gather file.
  void finishSession();

  // --- locked getters: each asks the servo for a fresh value (reply through
  // the local queue) and returns the value stored from the previous reply.
  void getQ(PrVector& q) override;  // degrees
  void getDq(PrVector& dq);         // degrees/s
  void getTau(PrVector& tau);
  void getMsi(PrVector& msi);                  // 1026
  void getEMass(PrVector& eM);                 // 12
  void getAccLimit(PrVector& accLimit);        // 3 x 2^dof
  void getSForceLimit(PrVector& sForceLimit);  // 3 x 2^dof
  void getX(PrVector& x);                      // numConfigParms
  void getWForce(PrVector6& wForce);
  float getCurTime();

  // --- plain accessors (copies taken under the mutex)
  ServoConfiguration configuration() const;
  int robotType() const;
  int dof() const;
  int numConfigParms() const;
  void getKp(int mode, PrVector& kp) const;  // mode 0 to 23
  void getKv(int mode, PrVector& kv) const;
  // Incremented on every SERVO_GAINS and SERVO_CONFIG: the window refreshes its forms when it changes.
  int updateCount() const { return m_updateCount.load(std::memory_order_acquire); }

 private:
  friend struct CommandHandlers;

  void consoleLoop();
  // processCommand's work, under m_mutex (held by the caller).
  bool dispatch(const char* commandStr, char* reply);
  // The pause after each console line (interactive: the full second).
  void pauseForReply(bool interactive);
  // Waits (a few seconds at most) for the servo's first configuration, which
  // fixes how many values the joint and configuration commands take.
  void waitForConfiguration();
  void listenerLoop();
  // Handles one servo message.
  void handleServoMessage(CMappedMsg& msg);
  // SERVO_ADVANCED: wakes advanceServo.
  void noteAdvanced(CMappedMsg& msg);
  // Stores a reply of count floats into field; refuses a body of another size.
  void storeFloats(CMappedMsg& msg, PrVector& field, int count);
  void storeConfiguration(CMappedMsg& msg);
  void storeGains(CMappedMsg& msg);
  void startGatherFile(CMappedMsg& msg);
  void stopGatherFile();
  void writeGatherRow(CMappedMsg& msg);
  void storeScopeSamples(CMappedMsg& msg);

  // Runs f with the command mutex released (for handlers that wait for
  // another thread that may need the mutex). Caller holds m_mutex.
  template <typename F>
  void withoutCommandLock(F f) {
    m_mutex.unlock();
    f();
    m_mutex.lock();
  }

  // Sends m_msg to the servo; on refusal writes a reply and returns false. Caller holds m_mutex.
  bool sendMessage(char* reply);
  // Sends a refresh request with destination 2 for a getter. Caller holds m_mutex.
  void requestRefresh(int code);
  // A getter: takes the mutex, asks for a refresh and copies the stored value.
  void refreshAndCopy(int code, const PrVector& stored, PrVector& value);

  std::map<std::string, Command> m_commands;
  State curState = STOP;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_endSessionAtEndOfInput{false};
  std::atomic<bool> m_inputEnded{false};
  std::atomic<bool> m_quitSent{false};
  bool m_unpacedServo = false;  // set before start()
  bool m_repliesPolledByCaller = false;
  std::string m_startupScript;

  ServoAgent* m_servo;  // not owned
  std::unique_ptr<PsPlotter> m_plot;
  std::unique_ptr<ScriptReader> m_script;
  std::unique_ptr<PrMatlab> m_gather;  // listener thread only; exists while a gather file is open

  mutable std::mutex m_mutex;  // the command mutex
  std::thread m_listenerThread;
  std::thread m_consoleThread;
  CMsg m_msg;  // the one outgoing request record

  // Latest values reported by the servo (guarded by m_mutex).
  PrVector m_q, m_dq, m_tau, m_x;
  PrVector m_eM, m_msi, m_accLimit, m_sForceLimit;
  PrVector6 m_wForce;
  float m_curTime = 0;
  // UI_CURTIME requests sent that the servo answers with SERVO_CURTIME
  // (guarded by m_mutex), and the answers handled by the listener.
  long long m_timeRequests = 0;
  std::atomic<long long> m_timeReplies{0};
  ServoConfiguration m_config;
  PrVector m_kp[kNumControlModes];
  PrVector m_kv[kNumControlModes];
  std::atomic<int> m_updateCount{0};
  // advanceServo's round trip: the last sequence sent (under m_mutex) and the
  // last one answered (written by the listener under m_advanceMutex).
  int m_advanceSent = 0;
  std::mutex m_advanceMutex;
  std::condition_variable m_advanceAnswered;
  int m_advancedSequence = 0;

  ScopeRing* m_scopeRing = nullptr;  // not owned

  // Listener-private scratch, reused so that the gather rows do not allocate.
  std::vector<float> m_row;
  ServoConfiguration m_incomingConfig;
  PrVector m_incomingKp, m_incomingKv;
};
