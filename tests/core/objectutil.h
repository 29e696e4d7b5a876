#pragma once
// Helpers for the object tests: a theatre loaded from text with a fresh undo history, world
// placement checks, and a probe riser that reports its destruction and its frame calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/color.h"
#include "model/content.h"
#include "model/coordinates.h"
#include "model/group.h"
#include "model/objectlist.h"
#include "model/riser.h"
#include "model/theatre.h"
#include "model/truss.h"
#include "model/value.h"
#include "testutil.h"

namespace lmv::test {

inline ObjectList& objects(Theatre& t) {
  return *t.content->objectList;
}

// Loads text as a document (the history starts empty, as after opening a file).
inline bool loadTheatre(Theatre& t, const std::string& text) {
  StringLoad s(text);
  t.load(s.load);
  return s.load.state == ReadEnd;
}

inline std::string saveTheatre(Theatre& t) {
  TempDir dir;
  if (!t.save(dir.file("t.ttr"))) return "<save failed>";
  return readFile(dir.file("t.ttr"));
}

inline ::testing::AssertionResult nearVec(const Vec3& expected, const Vec3& actual,
                                          double tolerance = 1e-6) {
  if (std::fabs(expected.x - actual.x) <= tolerance &&
      std::fabs(expected.y - actual.y) <= tolerance &&
      std::fabs(expected.z - actual.z) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "expected (" << expected.x << ", " << expected.y << ", " << expected.z << ") got ("
         << actual.x << ", " << actual.y << ", " << actual.z << ")";
}

inline std::vector<double> raw(const Coordinates& c) {
  std::vector<double> out;
  for (const Value* v : c.v) {
    out.push_back(v->value);
    out.push_back(v->base);
  }
  return out;
}

// Records frame calls into a shared log and flags its own destruction.
class ProbeRiser : public Riser {
 public:
  ProbeRiser(ObjectList& list, std::string name, std::vector<std::string>* log, bool* gone)
      : Riser(list), name(std::move(name)), log(log), gone(gone) {}
  ~ProbeRiser() override {
    if (gone) *gone = true;
  }
  void project() override { note("build"); }
  void projectToPlane() override { note("project"); }
  void drawOutline() override { note("draw"); }

  std::string name;

 private:
  void note(const char* what) {
    if (log) log->push_back(std::string(what) + " " + name);
  }
  std::vector<std::string>* log;
  bool* gone;
};

inline ProbeRiser* addProbe(Theatre& t, const std::string& name, char letter = 'r',
                            std::vector<std::string>* log = nullptr, bool* gone = nullptr) {
  ObjectList& list = objects(t);
  return static_cast<ProbeRiser*>(list.addFromDefault(
      std::make_unique<ProbeRiser>(list, name, log, gone), list.defaultRiser.get(), letter));
}

}  // namespace lmv::test
