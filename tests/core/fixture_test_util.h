#pragma once
// Helpers for the fixture-library tests: a library in a temporary folder, on top of the
// shared test helpers.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/runlog.h"
#include "testutil.h"

namespace lmvtest {

namespace fs = std::filesystem;
using lmv::test::LogCapture;
using lmv::test::readFile;
using lmv::test::TempDir;
using lmv::test::writeFile;

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
