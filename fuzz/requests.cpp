// Requests and replies with arbitrary bodies, handled by the real receivers:
// the servo (with the shipped arm and the reference control plug-in, ticking
// between requests so that whatever a request set up also runs) and the
// console's servo listener. The input is a run of records
//   [type byte][body length byte][body bytes]
// each sent once as a request to the servo and once as a reply to the console.
// Neither side may crash or leave its queue unread, and no reply may end
// the session.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/Configuration.h"
#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "app/UiAgent.h"
#include "app/UiAgentLink.h"
#include "libpuma/PacingClock.h"
#include "servo/ControlPlugin.h"
#include "servo/Servo.h"
#include "servo/Session.h"
#include "utility/unitMsg.h"

namespace {

struct Receivers {
  SteppingClock clock;
  UiAgent uiAgent;
  ServoAgent servoAgent;
  UiAgentLink link{uiAgent};
  std::unique_ptr<Servo> servo;
  std::unique_ptr<TextUI> console;

  Receivers() {
    if (!readConfiguration()) std::abort();
    beginSession();
    servo = std::make_unique<Servo>(link, loadControlPlugin(), &clock);
    if (!servo->servoInit()) std::abort();
    console = std::make_unique<TextUI>(&servoAgent);  // its threads are not started
    // Gather requests name files: they land in a scratch directory, which
    // also holds the arm's description for robot type changes.
    mkdir("requests-files", 0755);
    if (chdir("requests-files") != 0) std::abort();
    symlink("../puma560.prm", "puma560.prm");
  }

  // Lets the servo take every pending request (the console sends some of
  // its own); a quit and an unknown control mode end the session by design
  // (the remote relay refuses both from a peer), so the next one starts.
  void serveRequests() {
    for (int i = 0; i < 64 && servo->handleUiMessage(); ++i) {
    }
    if (sessionEnded) beginSession();
  }
  // The console reads what the servo sent; nothing it receives may end the session.
  void readReplies() {
    console->pollServoMessages();
    if (sessionEnded) __builtin_trap();
  }
};

Receivers& receivers() {
  static Receivers* r = new Receivers;  // lives until exit, as the program's would
  return *r;
}

// File names travel in gather requests and replies: keep them in the working directory.
void keepNamesLocal(char* body, int length) {
  for (int i = 0; i < length; ++i) {
    if (body[i] == '/') body[i] = '_';
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Receivers& r = receivers();
  size_t at = 0;
  for (int records = 0; at + 2 <= size && records < 32; ++records) {
    const int type = data[at];
    const int length = std::min<int>(data[at + 1], int(size - at - 2));
    char body[256];
    std::copy(data + at + 2, data + at + 2 + length, body);
    at += 2 + size_t(length);

    const int request = type % (UI_MSG_TYPE_COUNT + 1);  // one past the last: unknown
    if (request == UI_START_GATHER) keepNamesLocal(body, length);
    CMsg asRequest;
    asRequest.setType(request);
    asRequest.writeElements(body, length, 1);
    r.servoAgent.send(asRequest);
    r.serveRequests();
    r.servo->servoTick();
    // The stepping clock gives 2 ms a reading: at a crawling simulation speed
    // (a pause, to the user) the next tick would take millions of readings.
    if (r.servo->simSpeed() >= 0.1f) r.servo->waitForTick();
    r.serveRequests();

    const int reply = type % (SERVO_MSG_TYPE_COUNT + 1);
    if (reply == SERVO_START_GATHER) keepNamesLocal(body, length);
    CMsg asReply;
    asReply.setType(reply);
    asReply.writeElements(body, length, 1);
    r.uiAgent.reply(asReply, 2);
    r.readReplies();
    r.serveRequests();
  }
  r.readReplies();
  if (r.servoAgent.hasMessage()) __builtin_trap();  // nothing is left unread
  return 0;
}
