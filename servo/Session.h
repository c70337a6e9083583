// The session switch: once endSession() has been called, every worker loop
// (the servo loop, the console and listener threads) leaves at the top of its
// next pass.
#pragma once

#include <atomic>

// Set once, by endSession(); polled by the worker loops. One byte, lock-free.
extern std::atomic<bool> sessionEnded;
static_assert(std::atomic<bool>::is_always_lock_free);

// Ends the session: sets sessionEnded, prints "Session ended.\n" on standard
// error the first time, then runs the handler installed by the application
// (window layout, Qt quit) on every call. Any thread, any number of times;
// returns 0.
int endSession();

// The application's part of ending a session, called by every endSession()
// (nullptr: none); firstCall is true only for the call that ended the session.
// Install before the threads start.
void setSessionEndHandler(void (*handler)(bool firstCall));

// Starts a fresh session: clears sessionEnded. For start-up and tests.
void beginSession();
