#include "app/Configuration.h"

#include <cstring>

std::optional<std::string> servHostAddr;
int refreshRateCaption = -1;
int refreshRateGraphic = -1;

namespace {

constexpr const char kHostKey[] = "KORVEX_SERV_HOST_ADDR";
constexpr const char kCaptionKey[] = "REFRESH_RATE_CAPTION";
constexpr const char kGraphicKey[] = "REFRESH_RATE_GRAPHIC";
constexpr int kMaxKey = 255;
constexpr int kMaxHost = 49;

bool startsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

void skipRestOfLine(std::FILE* file) {
  int c;
  while ((c = std::fgetc(file)) != EOF && c != '\n') {
  }
}

// Reads the key up to "=" (consumed). Returns false at the end of the file;
// sets endedLine when a line feed came before any "=".
bool readKey(std::FILE* file, std::string& key, bool& endedLine) {
  key.clear();
  endedLine = false;
  int c;
  while ((c = std::fgetc(file)) != EOF) {
    if (c == '=') return true;
    if (c == '\n') {
      endedLine = true;
      return true;
    }
    if (static_cast<int>(key.size()) < kMaxKey) key.push_back(static_cast<char>(c));
  }
  return !key.empty();
}

std::string readHost(std::FILE* file) {
  std::string host;
  int c;
  while ((c = std::fgetc(file)) != EOF && c != '\n') {
    if (static_cast<int>(host.size()) < kMaxHost) host.push_back(static_cast<char>(c));
  }
  while (!host.empty() && (host.back() == '\r' || host.back() == ' ')) host.pop_back();
  return host;
}

}  // namespace

Configuration parseConfiguration(std::FILE* file) {
  Configuration config;
  if (!file) return config;
  std::string key;
  bool endedLine = false;
  while (readKey(file, key, endedLine)) {
    if (endedLine) {
      if (!key.empty()) std::fprintf(stderr, "Configuration: ignoring line without '=': %s\n", key.c_str());
      continue;
    }
    if (startsWith(key, kHostKey)) {
      config.servHostAddr = readHost(file);
    } else if (startsWith(key, kCaptionKey) || startsWith(key, kGraphicKey)) {
      int value = 0;
      if (std::fscanf(file, " %d", &value) != 1) break;
      (startsWith(key, kCaptionKey) ? config.refreshRateCaption : config.refreshRateGraphic) = value;
      skipRestOfLine(file);
    } else {
      std::fprintf(stderr, "Configuration: ignoring unknown key '%s'\n", key.c_str());
      skipRestOfLine(file);
    }
  }
  return config;
}

bool readConfiguration(const char* path) {
  std::FILE* file = std::fopen(path, "r");
  const Configuration config = parseConfiguration(file);
  if (file) std::fclose(file);
  servHostAddr = config.servHostAddr;
  refreshRateCaption = config.refreshRateCaption;
  refreshRateGraphic = config.refreshRateGraphic;
  if (!config.hasRefreshRates()) {
    std::fprintf(stderr, "Failed to get Refresh Rates.  Exiting.\n");
    return false;
  }
  return true;
}
