#include "python/OutputCapture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

OutputCapture::OutputCapture() {
  std::fflush(stdout);
  std::fflush(stderr);
  take(m_out, STDOUT_FILENO, "korvex-stdout");
  take(m_err, STDERR_FILENO, "korvex-stderr");
}

OutputCapture::~OutputCapture() {
  if (m_finished) return;
  std::string out, err;
  finish(out, err);
}

void OutputCapture::take(Stream& s, int fd, const char* name) {
  s.fd = fd;
  s.file = memfd_create(name, MFD_CLOEXEC);
  if (s.file < 0) return;  // nothing is captured; the text goes where it went
  s.saved = dup(fd);
  if (s.saved < 0 || dup2(s.file, fd) < 0) {
    if (s.saved >= 0) close(s.saved);
    close(s.file);
    s.saved = s.file = -1;
  }
}

std::string OutputCapture::giveBack(Stream& s) {
  std::string text;
  if (s.file < 0) return text;
  dup2(s.saved, s.fd);
  close(s.saved);
  char buffer[4096];
  off_t offset = 0;
  for (;;) {
    const ssize_t n = pread(s.file, buffer, sizeof buffer, offset);
    if (n <= 0) break;
    text.append(buffer, size_t(n));
    offset += n;
  }
  close(s.file);
  s.file = s.saved = -1;
  return text;
}

void OutputCapture::finish(std::string& out, std::string& err) {
  std::fflush(stdout);
  std::fflush(stderr);
  out = giveBack(m_out);
  err = giveBack(m_err);
  m_finished = true;
}
