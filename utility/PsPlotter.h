// Records the arm's motion as a side-view line drawing in a PostScript file.
//
// While a plot runs, a background thread samples the first three joint
// angles every plotRate() ms and, whenever one has moved by more than
// 0.001 rad since the last frame drawn (by this or any earlier plot), draws
// the arm again on the same page, so the page shows the sequence of poses.
//
// open/start/stop/setPlotRate may be called from any thread; they are
// serialised among themselves. stop() waits for the plot thread, which may be
// waiting for the joint-position source: callers must not hold a lock that
// the source needs while they call stop() or open().
#pragma once

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "matrix/PrVector.h"

class JointPositionSource;

class PsPlotter {
 public:
  static constexpr int kDefaultPlotRate = 50;  // ms between samples

  explicit PsPlotter(JointPositionSource* console);
  ~PsPlotter();  // stops a running plot, leaving its file complete
  PsPlotter(const PsPlotter&) = delete;
  PsPlotter& operator=(const PsPlotter&) = delete;

  // Creates or truncates fileName. A plot still running is stopped first so
  // that its file is complete. On failure prints "Unable to open plot file"
  // on standard error, leaves no file open and returns false.
  bool open(const char* fileName);

  // Interval between samples (ms). A value <= 0 prints "Time between frames
  // must be positive." on standard error and keeps the old interval.
  void setPlotRate(int ms);
  int plotRate() const;

  // Starts the plot thread on the open file; does nothing without one.
  void start();

  // Ends the plot: the thread writes the trailer, closes the file and prints
  // "Plot file saved."; does nothing when no file is open.
  void stop();

  bool isOpen() const;

 private:
  void plotLoop();
  // Samples the arm once and draws a frame when it has moved.
  void sample();
  // Waits one interval; returns false when stop() was called meanwhile.
  bool waitInterval();

  JointPositionSource* m_console;
  mutable std::mutex m_controlMutex;  // serialises open/start/stop
  std::FILE* m_file = nullptr;
  std::thread m_thread;

  mutable std::mutex m_stopMutex;  // guards m_stop and m_interval
  std::condition_variable m_stopSignal;
  bool m_stop = true;
  int m_interval = kDefaultPlotRate;

  // Used by the plot thread only (and reset by stop() after joining it).
  int m_frameCount = 0;
  PrVector m_q;
};
