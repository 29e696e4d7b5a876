#pragma once
// The document root: values, globals, walls, content, views, the DMX buffer and the undo
// history. One theatre exists at a time, reachable through theTheatre(); members look it up
// while they are built. Loading and saving report through results and the log.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/alloccounter.h"
#include "model/undo.h"
#include "model/value.h"

namespace lmv {

class Canvas;
class Content;
class Globals;
class Load;
class ViewList;
class Walls;

constexpr const char* kProgramVersion = "7.20";

class Theatre : public AllocCounter, public ValueObserver, public UndoHost {
 public:
  Theatre(Canvas* const* paneCanvases = nullptr, int autoCenterObject = 0,
          std::string fixtureFolder = {}, std::string extensionsFolder = {});
  ~Theatre();
  Theatre(const Theatre&) = delete;
  Theatre& operator=(const Theatre&) = delete;

  ValueList valueList;  // first built, last destroyed: it owns every value
  std::unique_ptr<Undo> undo;
  std::unique_ptr<Globals> globals;
  std::unique_ptr<Walls> walls;
  std::unique_ptr<Content> content;
  std::unique_ptr<ViewList> viewList;

  std::vector<uint8_t> dmxBuffer;
  int dmxBufferSize = 0;
  int paneCount = 1;
  int paneRects[4][4] = {{1, 1, 2, 2}, {}, {}, {}};
  Canvas* paneCanvases[4] = {};
  int autoCenterObject = 0;
  int modificationCount = 0;
  std::string fileVersionText;
  int fileVersion = 7020;  // no header read: the current syntax
  std::vector<DMXEntry> dmxList;
  int busy = 0;
  std::string name;
  int changed = 0;

  // Twelve-sided circles: sines and cosines of i * 30 degrees.
  double sines[12], cosines[12], sines2[12], cosines2[12];

  void markChanged() override;
  bool isChanged() const { return changed != 0; }
  void clearChanged() { changed = 0; }
  void resizeDmxBuffer(int n);

  // Reads a whole file from an opened reader; the caller checks for state ReadEnd.
  void load(Load& in);
  // Writes the whole file atomically; false if it cannot be written.
  bool save(const std::string& path);

  // Frame phases, in this order; only the last draws.
  void buildPhase();
  void projectPhase();
  void fitPhase();
  void drawPhase();
  // The rubber-box zoom of a pane (pixel corners); see ViewList::zoomPane.
  void zoomPane(int pane, int x0, int y0, int x1, int y1);

  // ValueObserver
  void valueAboutToChange(Value& v) override;
  void valueAdded(Value& v) override;
  void valueRemoved(Value& v) override;
  // UndoHost
  void recomputeDmxAddress() override;

 private:
  void loadHeader(Load& in);
  void loadTheatreSection(Load& in);
};

Theatre* theTheatre();

}  // namespace lmv
