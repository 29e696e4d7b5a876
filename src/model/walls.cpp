#include "model/walls.h"

#include "geometry/represent.h"
#include "geometry/shapes.h"
#include "model/color.h"
#include "model/coordinates.h"
#include "model/load.h"
#include "model/value.h"
#include "model/viewentry.h"
#include "model/viewlist.h"

namespace lmv {

namespace {
const int kFaceColors[6][3] = {{100, 100, 100}, {80, 80, 80},    {110, 100, 100},
                               {100, 110, 100}, {100, 100, 110}, {110, 100, 110}};
}  // namespace

Walls::Walls(ValueList& l) : AllocCounter("Walls"), list(l) {
  size = std::make_unique<Coordinates>(list);
  size->set(1000, 200, 500);
  for (int i = 0; i < 6; ++i) {
    backColor[size_t(i)] = std::make_unique<Color>(list);
    backColor[size_t(i)]->setRgb(kFaceColors[i][0], kFaceColors[i][1], kFaceColors[i][2]);
  }
  gridFrequency = list.newValue();
  gridFrequency->setValue(25);
  for (auto& c : gridColor) c = std::make_unique<Color>(list);
}

Walls::~Walls() {
  list.removeValue(gridFrequency);
}

void Walls::setSize(int w, int h, int d) {
  int old[3];
  getSize(old);
  size->set(w, h, d);
  int now[3] = {w, h, d};
  if (onResize) onResize(old, now);
}

void Walls::getSize(int out[3]) const {
  size->get(out);
}
void Walls::setGridFrequency(int f) {
  gridFrequency->setValue(double(f));
}
int Walls::getGridFrequency() const {
  return int(gridFrequency->currentValue());
}

Represent* Walls::representation(int pane) const {
  return pane >= 0 && pane < 4 ? wallRepresentations[size_t(pane)].get() : nullptr;
}

void Walls::build(const ViewList& views) {
  int s[3];
  getSize(s);
  for (int pane = 0; pane < views.panes(); ++pane) {
    auto& r = wallRepresentations[size_t(pane)];
    if (!r) r = newBoxRepresent(pane);
    const ViewEntry* view = views.paneView(pane);
    if (!view) continue;
    buildBox(r->polygons, {s[0] / 2, s[1] / 2, s[2] / 2}, {s[0], s[1], s[2]}, {}, 50,
             view->transformation);
  }
}

void Walls::project(const ViewList& views) {
  for (int pane = 0; pane < views.panes(); ++pane)
    if (Represent* r = representation(pane))
      projectShape(views.projection(pane), r->polygons, kBoxRing);
}

bool Walls::hitTest(int pane, int x, int y) const {
  const Represent* r = representation(pane);
  return r && r->hitTest(x, y);
}

void Walls::load(Load& in) {
  readSection(in, "Walls", {"size", "gridFrequency", "backColor", "gridColor"}, [&](int key) {
    if (key == 0) {
      size->load(in);
    } else if (key == 1) {
      gridFrequency->load(in);
    } else {
      int face = -1;
      in.intAt(1, face);
      auto& colors = key == 2 ? backColor : gridColor;
      // Old files carry face colours in a form we drop; bad indices are read and dropped.
      bool keep = face >= 0 && face < 6 && !(key == 2 && list.fileVersion < 4000);
      if (in.state == ReadError) return;
      if (keep) {
        colors[size_t(face)]->load(in);
      } else {
        Color scratch(list);
        scratch.load(in);
      }
    }
  });
}

void Walls::save(FILE* f, const std::string& prefix) const {
  fprintf(f, "%sWalls\n", prefix.c_str());
  fprintf(f, "%s size\n", prefix.c_str());
  size->save(f, prefix + "  ");
}

}  // namespace lmv
