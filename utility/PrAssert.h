// Fatal assertions for preconditions on sizes, indices and aliasing.
//
// A violated precondition is a programming error, not bad input: the failed
// condition is printed as written, with file and line, and the process aborts.
// Input from users, files or sockets is never checked with PR_ASSERT; it gets
// a clear message and a refusal instead.
#pragma once

[[noreturn]] void prAssertFailed(const char* condition, const char* file, int line);

#define PR_ASSERT(condition) \
  ((condition) ? static_cast<void>(0) : ::prAssertFailed(#condition, __FILE__, __LINE__))
