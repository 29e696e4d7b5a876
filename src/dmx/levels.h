#pragma once
// LEVELS files for scripts and tests: lines "channel value", channels counted from 1 across
// consecutive universes of 512, values 0..255; blank lines and lines starting with '#' are
// ignored. Parsing reports the first bad line instead of guessing.
#include <string>
#include <vector>

namespace lmv {

struct Level {
  int channel;  // 0-based index into the DMX buffer
  int value;
};

struct LevelsResult {
  bool ok = true;
  int badLine = 0;  // 1-based line number of the first bad line
  std::string error;
  std::vector<Level> levels;
};

LevelsResult parseLevels(const std::string& text);
// Reads and parses a file; an unreadable file is an error on line 0.
LevelsResult readLevelsFile(const std::string& path);

}  // namespace lmv
