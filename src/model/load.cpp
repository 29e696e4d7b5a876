#include "model/load.h"

#include <cstring>
#include <new>

#include "base/runlog.h"
#include "platform/files.h"

namespace lmv {

FILE* openLogged(const std::string& path, const char* mode) {
  FILE* f = nullptr;
  try {
    f = fopen(path.c_str(), mode);
  } catch (...) {
    logError("Failed to open file: %s", path.c_str());
    return nullptr;
  }
  if (mode[0] == 'w' || mode[0] == 'W')
    logStatus("Writing file: %s", path.c_str());
  else
    logStatus("Reading file: %s", path.c_str());
  return f;
}

std::unique_ptr<AtomicFile> openLoggedAtomic(const std::string& path) {
  std::unique_ptr<AtomicFile> f;
  try {
    f = std::make_unique<AtomicFile>(path);
  } catch (...) {
    logError("Failed to open file: %s", path.c_str());
    return nullptr;
  }
  logStatus("Writing file: %s", path.c_str());
  if (!f->stream()) return nullptr;
  return f;
}

Load::~Load() {
  if (file) fclose(file);
}

bool Load::open(std::string& path) {
  if (file) fclose(file);
  file = openLogged(path, "rb");
  if (!file) {
    path += ".ttr";
    file = openLogged(path, "rb");
  }
  state = file ? ReadOk : ReadError;
  return state != ReadError;
}

bool Load::attach(FILE* stream) {
  if (file) fclose(file);
  file = stream;
  state = file ? ReadOk : ReadError;
  return state != ReadError;
}

bool Load::nextLine() {
  if (pushed > 0) {
    --pushed;
    current = pushed;
  } else {
    memmove(history[1], history[0], sizeof history[0] * (kHistory - 1));
    history[0][0] = '\0';
    current = 0;
    // A last line without "\n" is still a line; the end comes with the next read.
    if (!file || !fgets(history[0], kReadLimit, file)) {
      history[0][0] = '\0';
      if (state != ReadError) state = ReadEnd;
    }
  }
  if (state > ReadEnd) {
    split(history[current]);
    state = ReadOk;
  }
  return state > ReadEnd;
}

bool Load::pushBack() {
  if (state < ReadEnd) return false;
  if (pushed < kHistory - 1) ++pushed;  // deeper push-back never happens; refuse it
  state = ReadOk;
  return true;
}

void Load::split(const char* line) {
  tokens = 0;
  const char* p = line;
  auto isWhite = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
  };
  while (tokens < kMaxTokens) {
    while (*p && isWhite(*p)) ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && !isWhite(*p)) ++p;
    size_t len = size_t(p - start);
    if (len > 0 && start[0] == '"') {
      ++start;
      --len;
      if (len > 0 && start[len - 1] == '"') --len;
    }
    if (len >= kBufSize) len = kBufSize - 1;
    memcpy(tokenBuf[tokens], start, len);
    tokenBuf[tokens][len] = '\0';
    ++tokens;
  }
}

bool Load::isKey(const char* keyword) {
  if (state == ReadError) return false;
  bool match = tokens > 0 && strcmp(tokenBuf[0], keyword) == 0;
  state = match ? ReadOk : ReadMismatch;
  return match;
}

bool Load::stringAt(int i, std::string& out) {
  if (state == ReadError) return false;
  if (i < 0 || i >= tokens) {
    state = ReadError;
    return false;
  }
  out = tokenBuf[i];
  state = ReadOk;
  return true;
}

bool Load::intAt(int i, int& out) {
  if (state == ReadError) return false;
  if (i < 0 || i >= tokens) {
    state = ReadError;
    return false;
  }
  sscanf(tokenBuf[i], "%d", &out);
  state = ReadOk;
  return true;
}

bool Load::doubleAt(int i, double& out) {
  if (state == ReadError) return false;
  if (i < 0 || i >= tokens) {
    state = ReadError;
    return false;
  }
  sscanf(tokenBuf[i], "%lf", &out);
  state = ReadOk;
  return true;
}

}  // namespace lmv

namespace lmv {

bool readInt(Load& in, int& out) {
  return in.nextLine() && in.intAt(0, out);
}
bool readDouble(Load& in, double& out) {
  return in.nextLine() && in.doubleAt(0, out);
}
bool readString(Load& in, std::string& out) {
  return in.nextLine() && in.stringAt(0, out);
}
void skipValueLine(Load& in) {
  in.nextLine();
}

}  // namespace lmv
