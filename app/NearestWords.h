// The command words closest to a mistyped one, for "did you mean: jgoto?".
#pragma once

#include <string>
#include <vector>

// Letters inserted, deleted, replaced or two neighbours swapped, each counting
// one; letter case is ignored.
int editDistance(const std::string& a, const std::string& b);

// The words at the smallest edit distance from typed, in the order given,
// when that distance is small for the word's length (1 up to four letters,
// 2 beyond); failing that, the words that typed begins (three letters at
// least). At most four, never typed itself; empty when typed is a single letter.
std::vector<std::string> nearestWords(const std::string& typed, const std::vector<std::string>& words);

// "did you mean: jgoto?" (words joined with ", "), or empty without words.
std::string didYouMeanLine(const std::vector<std::string>& words);
