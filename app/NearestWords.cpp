#include "app/NearestWords.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr size_t kMostSuggestions = 4;

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
}  // namespace

int editDistance(const std::string& a, const std::string& b) {
  // Optimal string alignment: Levenshtein plus adjacent transpositions.
  const size_t n = a.size();
  const size_t m = b.size();
  std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
  for (size_t i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
  for (size_t j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    for (size_t j = 1; j <= m; ++j) {
      const int cost = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) && lower(a[i - 2]) == lower(b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[n][m];
}

std::vector<std::string> nearestWords(const std::string& typed, const std::vector<std::string>& words) {
  // One letter is too little to guess from.
  if (typed.size() < 2) return {};
  const int allowed = typed.size() <= 4 ? 1 : 2;
  int best = allowed + 1;
  std::vector<std::string> nearest;
  for (const std::string& word : words) {
    // load reaches the dispatcher from scripts, where it is no command; it is no guess either.
    if (word == typed) continue;
    const int distance = editDistance(typed, word);
    if (distance > allowed) continue;
    if (distance < best) {
      best = distance;
      nearest.clear();
    }
    if (distance == best && nearest.size() < kMostSuggestions) nearest.push_back(word);
  }
  // Too far from every word: perhaps the start of one ("startg").
  if (nearest.empty() && typed.size() >= 3) {
    for (const std::string& word : words) {
      if (word.size() > typed.size() && word != typed &&
          editDistance(word.substr(0, typed.size()), typed) == 0 && nearest.size() < kMostSuggestions) {
        nearest.push_back(word);
      }
    }
  }
  return nearest;
}

std::string didYouMeanLine(const std::vector<std::string>& words) {
  if (words.empty()) return "";
  std::string line = "did you mean: ";
  for (size_t i = 0; i < words.size(); ++i) line += (i > 0 ? ", " : "") + words[i];
  return line + "?";
}
