#pragma once
// File-system services: existence, last-write times, sorted directory listings and
// atomic replacement of a file. Errors are results (false, empty), never exceptions.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lmv {

bool fileExists(const std::string& path);
// Last-write time in nanoseconds since the epoch; false if the file cannot be examined.
bool lastWriteTime(const std::string& path, int64_t& ns);
// Sets the last-write time to now (a file renamed into a folder is otherwise older than the
// folder's own time); false on failure.
bool touchFile(const std::string& path);
// Names (not paths) of the regular files in folder matching a shell pattern, compared
// without case, sorted by name so that every caller sees a reproducible order.
std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern);

// Writes go to a temporary file beside the target; commit() renames it over the target, so
// a crash or failure never leaves a half-written file. Without commit() the temporary file
// is removed.
class AtomicFile {
 public:
  explicit AtomicFile(std::string path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // The stream to write, or nullptr when the temporary file could not be created.
  FILE* stream() const { return file; }
  // Flushes, closes and renames; false (and the target untouched) on any failure.
  bool commit();

 private:
  std::string target;
  std::string temp;
  FILE* file = nullptr;
};

}  // namespace lmv
