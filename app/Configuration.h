// Start-up configuration read from Configuration.dat.
//
// The file holds KEY=VALUE lines:
//   KORVEX_SERV_HOST_ADDR=<host, at most 49 characters>
//   REFRESH_RATE_CAPTION=<ms>   period of the window's read-out refresh
//   REFRESH_RATE_GRAPHIC=<ms>   period of the 3D view's redraw
// A key is recognised when the text before "=" starts with its name.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

struct Configuration {
  std::optional<std::string> servHostAddr;  // none unless the key is present
  int refreshRateCaption = -1;              // ms; below 0 means missing
  int refreshRateGraphic = -1;              // ms; below 0 means missing

  bool hasRefreshRates() const { return refreshRateCaption >= 0 && refreshRateGraphic >= 0; }
};

// Reads the configuration text from an open file. Lines with a key that is
// not recognised, or without "=", are skipped with a one-line warning on
// standard error. Reading stops at the end of the file or at a refresh value
// that is not a number. Returns what was read; check hasRefreshRates().
Configuration parseConfiguration(std::FILE* file);

// Process-wide values, set once by readConfiguration() before any thread starts.
extern std::optional<std::string> servHostAddr;
extern int refreshRateCaption;
extern int refreshRateGraphic;

// Reads the named file (Configuration.dat in the working directory by
// default) into the process-wide values. Returns false after printing
// "Failed to get Refresh Rates.  Exiting.\n" when a refresh rate is missing;
// the caller then ends the process with a non-zero status.
bool readConfiguration(const char* path = "Configuration.dat");
