// The shared token that guards the servo's network link.
//
// A servo that listens beyond loopback admits only peers that know the token:
// the first bytes a peer sends must be the line "KORVEX-TOKEN <token>\n", before
// any request. The token comes from a file (--token-file) on both sides, so it
// never shows in a process list. Comparison takes the same time whatever the
// guess, so it cannot be found one character at a time.
#pragma once

#include <string>

constexpr const char kTokenPreamble[] = "KORVEX-TOKEN ";
// Longest token line a peer may send (preamble, token and line feed).
constexpr int kMaxTokenLine = 512;

// Reads the token: the file's first line without its line end and trailing
// blanks. False with a one-line reason when the file cannot be read, or the
// token is empty or longer than a token line allows.
bool readTokenFile(const std::string& path, std::string* token, std::string* error);

// Whether offered equals expected, in time that depends only on expected's length.
bool tokensEqual(const std::string& offered, const std::string& expected);

// The line a peer sends first.
std::string tokenLine(const std::string& token);

// Whether host is this machine only (loopback), where no token is needed.
bool isLoopbackHost(const std::string& host);
