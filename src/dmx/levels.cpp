#include "dmx/levels.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace lmv {

namespace {
bool parseInt(const std::string& word, long lo, long hi, int& out) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long v = strtol(word.c_str(), &end, 10);
  if (errno || *end || v < lo || v > hi) return false;
  out = int(v);
  return true;
}
}  // namespace

LevelsResult parseLevels(const std::string& text) {
  LevelsResult result;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string channel, value, extra;
    words >> channel;
    if (channel.empty() || channel[0] == '#') continue;
    words >> value >> extra;
    int c = 0, v = 0;
    // Up to 1000 universes: far beyond any rig, small enough to keep buffers sane.
    if (!parseInt(channel, 1, 512 * 1000, c) || !parseInt(value, 0, 255, v) || !extra.empty()) {
      result.ok = false;
      result.badLine = number;
      result.error = "line " + std::to_string(number) +
                     ": expected \"channel value\" with channel "
                     "from 1 and value 0..255";
      return result;
    }
    result.levels.push_back({c - 1, v});
  }
  return result;
}

LevelsResult readLevelsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    LevelsResult r;
    r.ok = false;
    r.error = "cannot read " + path;
    return r;
  }
  std::stringstream s;
  s << in.rdbuf();
  return parseLevels(s.str());
}

}  // namespace lmv
