#pragma once
// Helpers for the fixture-library tests: a temporary folder named with the pid, file
// writing, and a capture of log messages.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/runlog.h"

namespace lmvtest {

namespace fs = std::filesystem;

class TempDir {
 public:
  explicit TempDir(const std::string& tag) {
    path_ = fs::temp_directory_path() / ("lmv_" + tag + "_" + std::to_string(getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder with a trailing "/", as the library expects folders.
  std::string folder() const { return path_.string() + "/"; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }
  std::string sub(const std::string& name) const {
    fs::create_directories(path_ / name);
    return (path_ / name).string() + "/";
  }

 private:
  fs::path path_;
};

inline void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Collects every message shown while it lives; problems() leaves out the file-opening
// status lines that every reader logs.
class LogCapture {
 public:
  LogCapture() {
    lmv::setStatusSink([this](const char* text) { messages.emplace_back(text); });
  }
  ~LogCapture() { lmv::setStatusSink(nullptr); }
  std::vector<std::string> problems() const {
    std::vector<std::string> out;
    for (const auto& m : messages)
      if (m.rfind("Reading file: ", 0) != 0 && m.rfind("Writing file: ", 0) != 0) out.push_back(m);
    return out;
  }
  void clear() { messages.clear(); }
  std::vector<std::string> messages;
};

}  // namespace lmvtest
