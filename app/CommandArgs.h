// A cursor over the arguments of one console command line.
//
// Words are separated by white space and cut in place: the character that
// ends a word is overwritten with a terminator. Numeric arguments must be a
// whole word: an integer with base detection (0x... hexadecimal, 0...
// octal), or a finite decimal floating-point number. The scan forms mimic a
// formatted read: they take a leading value and ignore what follows.
#pragma once

class PrVector;

class CommandArgs {
 public:
  explicit CommandArgs(char* text) : m_cursor(text) {}

  // The next word, or nullptr when only white space is left.
  char* nextWord();
  // The next word as an int; false when absent, not a whole number or out of range.
  bool nextInt(int& value);
  // The next word as a finite float; false when absent or not a whole decimal number.
  bool nextFloat(float& value);
  // n floats in order; false at the first one missing or bad.
  bool nextFloats(float* values, int n);
  // As many floats as v holds.
  bool nextFloats(PrVector& v);

  // Like "%d": skips white space, reads a decimal integer, ignores the rest of the line.
  bool scanInt(int& value);

 private:
  char* m_cursor;
};

// Whole-word conversions used by the cursor.
bool parseInt(const char* word, int& value);
bool parseFloat(const char* word, float& value);
