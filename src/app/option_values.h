#pragma once
#include <cstdint>
#include <string>

// Values of command-line options, shared by demo and its tools.

// A whole decimal number of digits only (no sign, no blanks) within [low, high]. Leaves
// `value` unchanged and returns false on anything else.
bool parseWholeNumber(const std::string& text, uint64_t low, uint64_t high, uint64_t& value);

// "FROM-TO": two whole numbers within [low, high] with FROM < TO.
bool parseRangeValue(const std::string& text, uint64_t low, uint64_t high, uint64_t& from,
                     uint64_t& to);

// "WIDTHxHEIGHT" in pixels, each side within [minSide, maxSide].
bool parseSizeValue(const std::string& text, int minSide, int maxSide, int& width, int& height);

// The name a program was started under (the last part of argv[0]), so that messages and
// --help name the installed program; `fallback` when argv[0] is missing or empty.
std::string programName(const char* argv0, const std::string& fallback);
