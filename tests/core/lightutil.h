#pragma once
// Helpers for the light and beam tests: a theatre built with a copy of the bundled library
// (building the index writes its cache into the personality folder) and four recording panes,
// and lights placed where a test wants them.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "geometry/beam.h"
#include "geometry/light.h"
#include "geometry/mhlight.h"
#include "geometry/mmlight.h"
#include "model/coordinates.h"
#include "model/globals.h"
#include "model/viewlist.h"
#include "objectutil.h"
#include "platform/recordingcanvas.h"

namespace lmv::test {

// The bundled library, copied once per test program.
inline const std::string& libraryCopy() {
  static TempDir dir;
  static bool copied = false;
  if (!copied) {
    std::filesystem::copy(std::filesystem::path(LMV_SOURCE_DIR) / "data", dir.path(),
                          std::filesystem::copy_options::recursive);
    // A personality without colour wheels, gobo wheels or iris.
    writeFile(dir.file("Personalities/bare.r20"),
              "DEVICE Bare6\nNAME \"Test\" \"Bare 6\"\nTYPE 1 6\nMIRROR 0 540 270\nDMX\n"
              "CHAN 1 B 1 0 -- E 0 \"Pan\" 0 0 0\n"
              "CHAN 2 B 2 0 -- F 0 \"Tilt\" 0 0 0\n"
              "CHAN 3 B 3 0 -- H 0 \"Dimmer\" 0 0 0\nEND\n");
    copied = true;
  }
  static const std::string folder = dir.folder();
  return folder;
}

struct LightRig {
  explicit LightRig(int panes = 1, bool library = true) {
    for (int i = 0; i < 4; ++i) {
      canvas[i] = std::make_unique<RecordingCanvas>(800, 600);
      raw[i] = canvas[i].get();
    }
    std::string fixtures, extensions;
    if (library) {
      fixtures = libraryCopy() + "Personalities/";
      extensions = libraryCopy() + "Extensions/";
    }
    theatre = std::make_unique<Theatre>(raw, 0, fixtures, extensions);
    theatre->paneCount = panes;
    for (int i = 0; i < 4; ++i) {
      int* r = theatre->paneRects[i];
      r[0] = r[1] = 0;
      r[2] = 799;
      r[3] = 599;
    }
  }
  ObjectList& list() { return objects(*theatre); }

  // A light of the kind at a world position with orientation 0 (not the template's), unpatched
  // so that what a test sets is what the light shows.
  template <class L>
  L* place(const Vec3& position, double pan = 0, double tilt = 0) {
    L* light;
    if constexpr (std::is_same_v<L, MHLight>)
      light = list().newMHLight();
    else
      light = list().newMMLight();
    light->disablePatch();
    light->setWorldOrientation(Vec3{0, 0, 0});
    light->setWorldPosition(position);
    light->setPan(pan);
    light->setTilt(tilt);
    return light;
  }

  // The build phase of one frame, then the draw phase into the recording panes.
  void frame() {
    for (auto& c : canvas) c->reset();
    theatre->buildPhase();
    theatre->projectPhase();
    theatre->fitPhase();
    theatre->drawPhase();
  }

  std::unique_ptr<RecordingCanvas> canvas[4];
  Canvas* raw[4];
  std::unique_ptr<Theatre> theatre;
};

}  // namespace lmv::test
