// The console's share of the 500 Hz budget: the listener must turn one gather
// row per servo tick (2 ms) into a line of the gather file, and command lines
// must parse and go out quickly enough for scripts and the window.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/ServoAgent.h"
#include "app/TextUI.h"
#include "app/UiAgent.h"
#include "matrix/PrVector.h"
#include "utility/MesgQueue.h"
#include "utility/PrMatlab.h"

namespace {

// One servo side and one console on the in-process queues, with a gather
// file open on /dev/null and the configuration of the six-joint arm.
struct Console {
  Console() {
    agent = std::make_unique<UiAgent>();
    servo = std::make_unique<ServoAgent>();
    ui = std::make_unique<TextUI>(servo.get());
    CMsg msg;
    msg.setType(SERVO_START_GATHER);
    msg.writeString("/dev/null");
    agent->reply(msg, 2);
    ui->pollServoMessages();
  }
  ~Console() {
    ui.reset();
    servo.reset();
    agent.reset();
    MesgQueue::releaseAllCollections();
  }
  std::unique_ptr<UiAgent> agent;
  std::unique_ptr<ServoAgent> servo;
  std::unique_ptr<TextUI> ui;
};

// q, dq, qd (6 each), x, xd (7 each), dx (6): a robot type 3 gather row.
void BM_GatherRowThroughListener(benchmark::State& state) {
  Console console;
  PrVector q(6), dq(6), qd(6), x(7), dx(6), xd(7);
  for (int i = 0; i < 6; ++i) q[i] = 0.1f * float(i);
  const PrVector* rows[] = {&q, &dq, &qd, &x, &dx, &xd, nullptr};
  float time = 0;
  for (auto _ : state) {
    console.agent->sendGatherRow(time += 0.002f, rows);
    benchmark::DoNotOptimize(console.ui->pollServoMessages());
  }
}
BENCHMARK(BM_GatherRowThroughListener);

void BM_GatherRowFormatting(benchmark::State& state) {
  PrMatlab writer;
  writer.start("/dev/null", "Data", 10);
  float row[39];
  for (int i = 0; i < 39; ++i) row[i] = 0.123456f * float(i);
  for (auto _ : state) writer.writeRow(row, 39);
}
BENCHMARK(BM_GatherRowFormatting);

void BM_ProcessCommand(benchmark::State& state) {
  Console console;
  for (auto _ : state) {
    benchmark::DoNotOptimize(console.ui->processCommand("setobstacle 3 0.5 0.25 0.3 0.05"));
    console.agent->poll();
    benchmark::DoNotOptimize(console.agent->read());
  }
}
BENCHMARK(BM_ProcessCommand);

}  // namespace

BENCHMARK_MAIN();
