#pragma once
// Shared helpers for the core tests: temporary folders, whole-file I/O, readers over strings,
// and a capture of everything the log shows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/runlog.h"
#include "model/load.h"

namespace lmv::test {

class TempDir {
 public:
  explicit TempDir(const std::string& tag = "test") {
    static int serial = 0;
    root_ = std::filesystem::temp_directory_path() /
            ("lmv" + tag + "_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string file(const std::string& name) const { return (root_ / name).string(); }
  // Folders end in "/", as the program expects them.
  std::string folder() const { return root_.string() + "/"; }
  // A subfolder, created, with its trailing "/".
  std::string sub(const std::string& name) const {
    std::filesystem::create_directories(root_ / name);
    return (root_ / name).string() + "/";
  }
  const std::filesystem::path& path() const { return root_; }

 private:
  std::filesystem::path root_;
};

inline void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A reader over text held in memory (the stream owns a copy).
class StringLoad {
 public:
  explicit StringLoad(const std::string& text) : data(text) {
    load.attach(fmemopen(data.data(), data.size(), "rb"));
  }
  Load load;

 private:
  std::string data;
};

// Collects every message shown while alive.
class LogCapture {
 public:
  LogCapture() {
    setStatusSink([this](const char* t) { messages.emplace_back(t); });
  }
  ~LogCapture() { setStatusSink(nullptr); }
  // Everything but the file-opening status lines that every reader logs.
  std::vector<std::string> problems() const {
    std::vector<std::string> out;
    for (const auto& m : messages)
      if (m.rfind("Reading file: ", 0) != 0 && m.rfind("Writing file: ", 0) != 0) out.push_back(m);
    return out;
  }
  void clear() { messages.clear(); }
  bool contains(const std::string& part) const {
    for (const auto& m : messages)
      if (m.find(part) != std::string::npos) return true;
    return false;
  }
  std::vector<std::string> messages;
};

// Strict comparison: names the first differing line and any difference in length.
inline ::testing::AssertionResult sameText(const std::string& expected, const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::istringstream a(expected), b(actual);
  std::string la, lb;
  int line = 1;
  while (true) {
    bool ha = static_cast<bool>(std::getline(a, la));
    bool hb = static_cast<bool>(std::getline(b, lb));
    if (!ha && !hb) break;
    if (ha != hb || la != lb)
      return ::testing::AssertionFailure()
             << "first difference at line " << line << ":\n  expected: " << (ha ? la : "<end>")
             << "\n  actual:   " << (hb ? lb : "<end>");
    ++line;
  }
  return ::testing::AssertionFailure()
         << "lengths differ: " << expected.size() << " vs " << actual.size();
}

}  // namespace lmv::test
