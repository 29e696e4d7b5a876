#pragma once
// Helpers for the fixture-library tests: a temporary folder named with the pid, file
// writing, and a capture of log messages.
#include <unistd.h>

#include <gtest/gtest.h>

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

#include "fixtures/colortable.h"
#include "fixtures/fixtureentry.h"
#include "fixtures/fixturelist.h"
#include "fixtures/gobolist.h"
#include "model/value.h"

namespace lmvtest {

// A fixture library in a temporary folder: Personalities/ and Extensions/, built in the
// order the theatre's content builds it.
struct Library {
  explicit Library(const std::string& tag) : dir(tag) {
    personalities = dir.sub("Personalities");
    extensions = dir.sub("Extensions");
  }
  void personality(const std::string& name, const std::string& text) {
    writeFile(personalities + name, text);
  }
  void extension(const std::string& name, const std::string& text) {
    writeFile(extensions + name, text);
  }
  lmv::FixtureList& build() {
    gobos.loadGobos(extensions);
    colours.loadColours(extensions);
    list = std::make_unique<lmv::FixtureList>(&gobos, &colours);
    list->scan(personalities, extensions);
    return *list;
  }
  // The loaded entry of a device (the test fails when it is missing).
  lmv::FixtureEntry* load(const std::string& device) {
    lmv::FixtureEntry* e = list->findEntry(device);
    if (e) e->loadPersonality();
    return e;
  }

  TempDir dir;
  std::string personalities, extensions;
  lmv::GoboList gobos;
  lmv::ColorTable colours;
  std::unique_ptr<lmv::FixtureList> list;
};

// The value-mode spec of an attribute, or null.
inline lmv::DmxSpec* valueSpec(const lmv::FixtureEntry* e, int slot) {
  lmv::DmxSpecs* s = e ? e->attribute(slot) : nullptr;
  return s ? s->firstOfMode(lmv::ModeValue) : nullptr;
}

// Decodes a template spec against fixture channels (the fixture patched at 0).
struct Dmx {
  uint8_t bytes[1024] = {};
  Dmx& set(int channel, int v) {
    bytes[channel] = uint8_t(v);
    return *this;
  }
  double eval(const lmv::DmxSpec* s) const {
    double out = -12345;
    if (!s) {
      ADD_FAILURE() << "no such spec";
      return out;
    }
    lmv::DmxView view{bytes, int(sizeof bytes)};
    s->evaluate(view, out);
    return out;
  }
};

}  // namespace lmvtest
