#include "ChildPool.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kOutputKept = 4096;

struct Child {
  int index = -1;
  pid_t pid = -1;
  int resultFd = -1;  // the work's result
  int outputFd = -1;  // its standard output and error
  Clock::time_point start;
  Clock::time_point deadline;
  ChildOutcome outcome;
};

void writeAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;
    done += size_t(n);
  }
}

// Reads what is there; closes the descriptor at its end.
void drain(int& fd, std::string& into, size_t keep) {
  char buffer[4096];
  const ssize_t n = read(fd, buffer, sizeof buffer);
  if (n > 0) {
    into.append(buffer, size_t(n));
    if (keep && into.size() > keep) into.erase(0, into.size() - keep);
    return;
  }
  close(fd);
  fd = -1;
}

Child start(int index, double timeLimit, const std::function<std::string(int)>& work) {
  Child child;
  child.index = index;
  int result[2], output[2];
  if (pipe(result) != 0 || pipe(output) != 0) {
    child.outcome.output = "no pipe for the child process";
    return child;
  }
  std::fflush(nullptr);  // nothing buffered here may be written twice
  child.pid = fork();
  if (child.pid == 0) {
    close(result[0]);
    close(output[0]);
    dup2(output[1], STDOUT_FILENO);
    dup2(output[1], STDERR_FILENO);
    close(output[1]);
    const std::string bytes = work(index);
    std::fflush(nullptr);
    writeAll(result[1], bytes);
    _exit(0);  // no exit handlers: they belong to the parent
  }
  close(result[1]);
  close(output[1]);
  if (child.pid < 0) {
    close(result[0]);
    close(output[0]);
    child.outcome.output = "the child process could not be started";
    return child;
  }
  child.resultFd = result[0];
  child.outputFd = output[0];
  child.start = Clock::now();
  child.deadline =
      child.start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeLimit));
  return child;
}

// Collects the child's exit once its pipes are closed; false while it runs.
bool reap(Child& child, bool kill) {
  if (kill) {
    ::kill(child.pid, SIGKILL);
    child.outcome.kind = ChildOutcome::kTimedOut;
  }
  int status = 0;
  if (waitpid(child.pid, &status, kill ? 0 : WNOHANG) != child.pid) return false;
  child.outcome.wallSeconds = std::chrono::duration<double>(Clock::now() - child.start).count();
  if (kill) return true;
  if (WIFSIGNALED(status)) {
    child.outcome.kind = ChildOutcome::kCrashed;
    child.outcome.signal = WTERMSIG(status);
  } else if (WEXITSTATUS(status) != 0 || child.outcome.result.empty()) {
    child.outcome.kind = ChildOutcome::kNoResult;
    child.outcome.exitStatus = WEXITSTATUS(status);
  } else {
    child.outcome.kind = ChildOutcome::kFinished;
  }
  return true;
}

}  // namespace

void runInChildren(int count, int parallel, double timeLimit, const std::function<std::string(int)>& work,
                   const std::function<void(int, ChildOutcome&&)>& done) {
  std::vector<Child> running;
  int next = 0;
  while (next < count || !running.empty()) {
    while (next < count && int(running.size()) < parallel) {
      Child child = start(next++, timeLimit, work);
      if (child.pid < 0)
        done(child.index, std::move(child.outcome));
      else
        running.push_back(std::move(child));
    }
    std::vector<pollfd> fds;
    Clock::time_point soonest = Clock::time_point::max();
    for (const Child& c : running) {
      if (c.resultFd >= 0) fds.push_back({c.resultFd, POLLIN, 0});
      if (c.outputFd >= 0) fds.push_back({c.outputFd, POLLIN, 0});
      if (c.deadline < soonest) soonest = c.deadline;
    }
    // Short waits: a child that closed its pipes is reaped on the next pass.
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(soonest - Clock::now()).count();
    wait = wait < 0 ? 0 : wait > 50 ? 50 : wait;
    poll(fds.data(), fds.size(), int(wait));
    for (const pollfd& p : fds) {
      if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
      for (Child& c : running) {
        if (p.fd == c.resultFd) drain(c.resultFd, c.outcome.result, 0);
        if (p.fd == c.outputFd) drain(c.outputFd, c.outcome.output, kOutputKept);
      }
    }
    for (size_t i = 0; i < running.size();) {
      Child& c = running[i];
      const bool closed = c.resultFd < 0 && c.outputFd < 0;
      const bool ended = (closed && reap(c, false)) || (Clock::now() >= c.deadline && reap(c, true));
      if (!ended) {
        ++i;
        continue;
      }
      if (c.resultFd >= 0) close(c.resultFd);
      if (c.outputFd >= 0) close(c.outputFd);
      done(c.index, std::move(c.outcome));
      running.erase(running.begin() + long(i));
    }
  }
}
