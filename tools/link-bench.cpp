// korvex-link-bench: round-trip latency and gather-row throughput of the TCP
// link to a servo started with "korvex --servo-only".
//
//   korvex-link-bench HOST:PORT [requests] [gather seconds]
//
// Latency: jpos requests (UI_Q, reply to the user interface) sent one at a
// time, each timed until its SERVO_Q arrives; median, p99 and maximum. The
// servo takes one request per 2 ms tick, so most of that is the wait for the
// next tick. Throughput: a gather runs for the given time; rows and bytes per
// second arriving over the link, and gaps in the servo clock (lost rows).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/ServoAgent.h"
#include "utility/PrSocket.h"
#include "utility/TcpEndpoint.h"
#include "utility/unitMsg.h"

namespace {
using Clock = std::chrono::steady_clock;

// Waits (busy, to time the link and not the scheduler) for a message of type; false after timeoutMs.
bool awaitType(ServoAgent& servo, int type, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < deadline) {
    if (servo.hasMessage() && servo.read().getType() == type) return true;
  }
  return false;
}

void measureLatency(ServoAgent& servo, int requests) {
  CMsg request;
  std::vector<double> micros;
  micros.reserve(static_cast<size_t>(requests));
  for (int i = 0; i < requests; ++i) {
    request.clear();
    request.setType(UI_Q);
    request.writeInt(1);
    const auto sent = Clock::now();
    if (!servo.send(request) || !awaitType(servo, SERVO_Q, 2000)) {
      std::fprintf(stderr, "korvex-link-bench: no answer to request %d\n", i);
      return;
    }
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - sent).count());
  }
  std::sort(micros.begin(), micros.end());
  const auto at = [&](double share) {
    return micros[static_cast<size_t>(share * double(micros.size() - 1))];
  };
  std::printf("jpos round trip over %d requests: median %.0f us, p99 %.0f us, max %.0f us\n", requests,
              at(0.5), at(0.99), micros.back());
}

void measureGather(ServoAgent& servo, double seconds) {
  CMsg request;
  request.setType(UI_START_GATHER);
  request.writeString("/dev/null");
  servo.send(request);
  long rows = 0, bytes = 0, gaps = 0;
  float lastTime = -1;
  const auto start = Clock::now();
  while (std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
    if (!servo.hasMessage()) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      continue;
    }
    CMappedMsg msg = servo.read();
    if (msg.getType() != SERVO_GATHER_DATA) continue;
    ++rows;
    bytes += msg.length();
    msg.readInt();
    const float time = msg.readFloat();
    if (lastTime >= 0 && time - lastTime > 0.003f) ++gaps;
    lastTime = time;
  }
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  request.clear();
  request.setType(UI_STOP_GATHER);
  servo.send(request);
  std::printf("gather over %.1f s: %.0f rows/s, %.1f KiB/s, %ld gaps in the servo clock\n", elapsed,
              double(rows) / elapsed, double(bytes) / elapsed / 1024.0, gaps);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: korvex-link-bench HOST:PORT [requests] [gather seconds]\n");
    return 2;
  }
  TcpAddress address;
  std::string error;
  if (!parseTcpAddress(argv[1], &address, &error)) {
    std::fprintf(stderr, "korvex-link-bench: %s\n", error.c_str());
    return 2;
  }
  const int requests = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2000;
  const double seconds = argc > 3 ? std::atof(argv[3]) : 5.0;
  const int s = connectTcp(address, 3000, &error);
  if (s < 0) {
    std::fprintf(stderr, "korvex-link-bench: %s\n", error.c_str());
    return 1;
  }
  PrSocket socket(s);
  ServoAgent servo(&socket);
  // Let the configuration and gains sent on connection go by.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  while (servo.hasMessage()) servo.read();
  measureLatency(servo, requests);
  measureGather(servo, seconds);
  return 0;
}
