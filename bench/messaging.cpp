// Throughput of the UI-servo messaging: messages per second through one
// in-process queue (one producer thread, one consumer thread), and bytes per
// second through a connected socket pair with the framing streams.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "utility/MesgQueue.h"
#include "utility/PrDataInput.h"
#include "utility/PrDataOutput.h"
#include "utility/PrSocket.h"

namespace {

constexpr int kBatch = 200000;

// A full ring makes the producer retry; each burst of refusals prints a line,
// which would drown the benchmark's output.
class QuietStderr {
 public:
  QuietStderr() : m_saved(dup(2)) {
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, 2);
    close(devNull);
  }
  ~QuietStderr() {
    dup2(m_saved, 2);
    close(m_saved);
  }

 private:
  int m_saved;
};

void fillMessage(CMsg& msg, int totalSize) {
  msg.clear();
  msg.setType(SERVO_Q);
  std::vector<char> body(totalSize - MSG_HEADER_SIZE, 'k');
  msg.writeElements(body.data(), static_cast<int>(body.size()), 1);
}

void BM_QueueMessages(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  MesgQueue queue(9);
  CMsg msg;
  fillMessage(msg, size);
  QuietStderr quiet;
  long long checksum = 0;
  for (auto _ : state) {
    std::thread producer([&] {
      for (int i = 0; i < kBatch; ++i) {
        while (!queue.write(msg)) std::this_thread::yield();
      }
    });
    for (int received = 0; received < kBatch;) {
      if (!queue.hasData()) {
        std::this_thread::yield();
        continue;
      }
      CMappedMsg m = queue.read();
      checksum += m.length() + m.data()[size - 1];
      ++received;
    }
    producer.join();
  }
  benchmark::DoNotOptimize(checksum);
  state.SetItemsProcessed(state.iterations() * kBatch);
  state.SetBytesProcessed(state.iterations() * kBatch * size);
  state.counters["refused"] = static_cast<double>(queue.refusedWrites());
}
BENCHMARK(BM_QueueMessages)->Arg(8)->Arg(64)->Arg(1024)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SocketPairBytes(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  constexpr int kMessages = 20000;
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) {
    state.SkipWithError("socketpair failed");
    return;
  }
  PrSocket sending(fds[0]), receiving(fds[1]);
  PrDataOutput output(&sending, MAX_MSG_SIZE - MSG_HEADER_SIZE);
  PrDataInput input(&receiving, MAX_MSG_SIZE - MSG_HEADER_SIZE);
  CMsg msg;
  fillMessage(msg, size);
  long long checksum = 0;
  for (auto _ : state) {
    std::thread producer([&] {
      for (int i = 0; i < kMessages; ++i) output.write(msg);
    });
    for (int received = 0; received < kMessages;) {
      if (input.ready() <= 0) {
        std::this_thread::yield();
        continue;
      }
      checksum += input.read().length();
      ++received;
    }
    producer.join();
  }
  benchmark::DoNotOptimize(checksum);
  state.SetItemsProcessed(state.iterations() * kMessages);
  state.SetBytesProcessed(state.iterations() * kMessages * size);
}
BENCHMARK(BM_SocketPairBytes)->Arg(64)->Arg(1024)->Arg(8192)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
