#include "model/theatre.h"

#include <cmath>
#include <cstdio>

#include "base/runlog.h"
#include "geometry/draw.h"
#include "geometry/represent.h"
#include "model/content.h"
#include "model/editsession.h"
#include "model/globals.h"
#include "model/load.h"
#include "model/objectentry.h"
#include "model/objectlist.h"
#include "model/viewlist.h"
#include "model/walls.h"
#include "platform/canvas.h"
#include "platform/files.h"

namespace lmv {

namespace {
Theatre* current = nullptr;

// What fitting measures in this theatre: the objects' outlines and the walls'.
class TheatreFitSource : public FitSource {
 public:
  explicit TheatreFitSource(Theatre& t) : theatre(t) {}
  void forEachObjectRepresent(int pane, const std::function<void(Represent&)>& visit) override {
    if (!theatre.content || !theatre.content->objectList) return;
    for (auto& o : theatre.content->objectList->objects())
      if (Represent* r = o->representation(pane)) visit(*r);
  }
  Represent* wallsRepresent(int pane) override { return theatre.walls->representation(pane); }

 private:
  Theatre& theatre;
};

void completeViewsForBox(Theatre& t) {
  int size[3];
  t.walls->getSize(size);
  t.viewList->completeViews(size);
}

int versionNumber(const std::string& text) {
  int major = 0, minor = 0;
  sscanf(text.c_str(), "%d.%d", &major, &minor);
  return major * 1000 + minor;
}
}  // namespace

Theatre* theTheatre() {
  return current;
}

Theatre::Theatre(Canvas* const* canvases, int autoCenter, std::string fixtureFolder,
                 std::string extensionsFolder)
    : AllocCounter("Theatre"), autoCenterObject(autoCenter) {
  busy = 1;  // building the members is no modification
  undo = std::make_unique<Undo>(this, valueList);
  current = this;
  valueList.observer = this;
  valueList.dmxList = &dmxList;
  if (canvases)
    for (int i = 0; i < 4; ++i) paneCanvases[i] = canvases[i];
  globals = std::make_unique<Globals>(valueList);
  walls = std::make_unique<Walls>(valueList);
  content = std::make_unique<Content>(*this, std::move(fixtureFolder), std::move(extensionsFolder));
  viewList = std::make_unique<ViewList>(valueList, paneCount, paneRects);
  walls->onResize = [this](const int oldSize[3], const int newSize[3]) {
    viewList->boxResized(oldSize, newSize);
  };
  for (int i = 0; i < 12; ++i) {
    double a = i * 30 * 3.141592653589793 * (1.0 / 180);
    sines[i] = sines2[i] = std::sin(a);
    cosines[i] = cosines2[i] = std::cos(a);
  }
  completeViewsForBox(*this);
  undo->enableRecording();
  resizeDmxBuffer(4096);
  busy = 0;
}

Theatre::~Theatre() {
  busy = 1;
  resizeDmxBuffer(0);
  globals.reset();
  walls.reset();
  content.reset();
  viewList.reset();
  // The history goes before the value list: objects it still owns remove their values from
  // the list as they are destroyed.
  undo.reset();
  valueList.observer = nullptr;
  busy = 0;
  if (current == this) current = nullptr;
}

void Theatre::markChanged() {
  changed = 1;
  if (!busy) ++modificationCount;
}

void Theatre::resizeDmxBuffer(int n) {
  if (n == dmxBufferSize) return;
  if (n <= 0) {
    dmxBuffer.clear();
    dmxBuffer.shrink_to_fit();
    dmxBufferSize = 0;
  } else {
    dmxBuffer.resize(size_t(n), 0);
    dmxBufferSize = n;
  }
  valueList.setDmxBuffer(dmxBuffer.data(), dmxBufferSize);
}

void Theatre::valueAboutToChange(Value& v) {
  if (undo) undo->valueAboutToChange(v);
  markChanged();
}

void Theatre::valueAdded(Value& v) {
  if (undo) undo->valueAdded(v);
}

void Theatre::valueRemoved(Value& v) {
  if (undo) undo->valueRemoved(v);
}

void Theatre::recomputeDmxAddress() {
  if (content && content->objectList) content->objectList->recomputeDmxAddress();
}

void Theatre::loadHeader(Load& in) {
  readSection(in, nullptr, {"softwareVersion", "fileFormat"}, [&](int key) {
    if (key == 1) {
      skipValueLine(in);
      return;
    }
    if (!readString(in, fileVersionText)) return;
    fileVersion = versionNumber(fileVersionText);
    valueList.fileVersion = fileVersion;
    if (versionNumber(kProgramVersion) < fileVersion)
      logError(
          "Theatre may be incompatable with Lumivor - theatre version = %s; lumivor version = %s",
          fileVersionText.c_str(), kProgramVersion);
  });
}

void Theatre::loadTheatreSection(Load& in) {
  readSection(in, nullptr, {"name", "dmxList", "globals", "walls", "content", "viewList"},
              [&](int key) {
                switch (key) {
                  case 0:
                    readString(in, name);
                    break;
                  case 1:
                    dmxList.clear();
                    readSection(in, "DMXList", {"dmxEntry"}, [&](int) {
                      readSection(in, "DMXEntry", {"desc", "startChan", "endChan"}, [&](int k) {
                        int chan = 0;
                        if (k == 0) {
                          skipValueLine(in);
                        } else if (readInt(in, chan)) {
                          if (k == 1)
                            dmxList.push_back({chan, chan});
                          else if (!dmxList.empty())
                            dmxList.back().endChan = chan;
                        }
                      });
                    });
                    break;
                  case 2:
                    globals->load(in);
                    break;
                  case 3:
                    walls->load(in);
                    break;
                  case 4:
                    content->load(in);
                    break;
                  case 5:
                    viewList->load(in);
                    break;
                }
              });
}

void Theatre::load(Load& in) {
  undo = std::make_unique<Undo>(this, valueList);
  busy = 1;
  while (in.state > ReadEnd) {
    if (!in.nextLine()) break;
    if (in.isKey("Header"))
      loadHeader(in);
    else if (in.isKey("Theatre"))
      loadTheatreSection(in);
  }
  busy = 0;
  completeViewsForBox(*this);
  modificationCount = 0;
  undo->enableRecording();
}

bool Theatre::save(const std::string& path) {
  auto out = openLoggedAtomic(path);
  if (!out) return false;
  FILE* f = out->stream();
  busy = 1;
  fprintf(f, "Header\n");
  fprintf(f, " softwareVersion\n");
  fprintf(f, "  %s\n", kProgramVersion);
  fprintf(f, " fileFormat\n");
  fprintf(f, "  0.0\n");
  fprintf(f, "Theatre\n");
  fprintf(f, " name\n");
  fprintf(f, "  \"%s\"\n", name.c_str());
  fprintf(f, " globals\n");
  globals->save(f, "  ");
  fprintf(f, " walls\n");
  walls->save(f, "  ");
  fprintf(f, " content\n");
  content->save(f, "  ");
  fprintf(f, " viewList\n");
  viewList->save(f, "  ");
  busy = 0;
  if (!out->commit()) {
    logError("Could not write file: %s", path.c_str());
    return false;
  }
  modificationCount = 0;
  return true;
}

void Theatre::buildPhase() {
  // Undo and redo put view coordinates back without passing the views' setters.
  viewList->updateTransformations();
  walls->build(*viewList);
  content->objectList->buildPhase();
}

void Theatre::projectPhase() {
  walls->project(*viewList);
  content->objectList->projectPhase();
}

void Theatre::fitPhase() {
  TheatreFitSource source(*this);
  viewList->fitPanes(source);
}

void Theatre::drawPhase() {
  const int white = 0xFFFFFF;
  for (int pane = 0; pane < paneCount && pane < 4; ++pane) {
    Canvas* canvas = paneCanvases[pane];
    Represent* box = walls->representation(pane);
    if (!canvas || !box) continue;
    drawPolygons(*canvas, box->polygons, viewList->projection(pane), white);
  }
  content->objectList->drawPhase();
  content->edit->drawRubberBox();
}

void Theatre::zoomPane(int pane, int x0, int y0, int x1, int y1) {
  TheatreFitSource source(*this);
  viewList->zoomPane(pane, x0, y0, x1, y1, source);
}

}  // namespace lmv
