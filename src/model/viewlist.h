#pragma once
// The theatre's cameras and panes. Owns the stored views (0 plan, 1 side, 2 front, 3..8 the
// user views "1".."6", more from files) and the current view that the main pane shows, and
// keeps per pane the view shown, the scale and centre that map plane units to pixels, and
// how that mapping is chosen (fitted every frame, or held after a zoom). The pane count and
// rectangles belong to the theatre and are read through the references given at
// construction. Nothing here throws; bad indices are ignored.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "geometry/projection.h"
#include "geometry/represent.h"
#include "model/alloccounter.h"

namespace lmv {

class Load;
class Value;
class ValueList;
class ViewEntry;

// What pane fitting measures besides the view list's own state.
class FitSource {
 public:
  virtual ~FitSource() = default;
  // Calls visit with the pane's representation of every object that is neither a plain
  // entry nor a group, in object-list order (objects not built for the pane are skipped).
  virtual void forEachObjectRepresent(int pane, const std::function<void(Represent&)>& visit) = 0;
  // The walls' representation of the pane, or null before the walls were built for it.
  virtual Represent* wallsRepresent(int pane) = 0;
};

enum PaneFitMode : int { FitAuto = 0, FitZoomed = 2, FitHeld = 3 };

class ViewList : public AllocCounter {
 public:
  ViewList(ValueList& values, const int& paneCount, const int (&paneRects)[4][4]);
  ~ViewList();
  ViewList(const ViewList&) = delete;
  ViewList& operator=(const ViewList&) = delete;

  std::unique_ptr<ViewEntry> currentView;
  ViewEntry* paneViews[4] = {};
  int viewsChanged = 0;
  Value* sameScale;  // "Same scale in all elevations", default 1; not stored in files
  Value* showDepth;  // "Show elevations with depth", default 0; not stored in files
  std::vector<std::unique_ptr<ViewEntry>> viewEntries;
  int paneOffset[4][2] = {};    // pixel position of the plane origin
  double paneScale[4][2] = {};  // pixels per plane unit
  double previousScale[4][2] = {};
  double previousOffset[4][2] = {};
  int paneFitMode[4] = {};
  int paneViewsChanged = 0;
  int currentIx = -1;
  Extent paneExtent[4];               // what fitting last measured in each pane, in plane units
  int boxSize[3] = {1000, 200, 500};  // the box the standard views were last made for

  int entryCount() const { return int(viewEntries.size()); }
  // Stored view i, or null.
  ViewEntry* entry(int i) const;
  int indexOf(const ViewEntry* view) const;

  // Standard views recomputed from the box, user views and the current view made if missing.
  void completeViews(const int box[3]);
  // The box changed size: views are completed, user views and the current view rescaled.
  void boxResized(const int oldSize[3], const int newSize[3]);
  // Stored view `index` becomes the current view; false (nothing changes) without one.
  bool selectView(int index);
  void setPaneView(int pane, ViewEntry* view);
  // Stored view `index` takes the current view's position and orientation.
  void storeCurrentView(int index);
  ViewEntry* appendEntry();
  // Panes that showed the removed view show the current view instead.
  void removeEntry(int index);
  void updateTransformations();

  // Panes in use: the theatre's pane count, limited to 0..4.
  int panes() const;
  // The view a pane shows: the current view with one pane, else the pane's own view.
  ViewEntry* paneView(int pane) const;
  bool showsCurrentView(int pane) const;
  bool isPerspective(int pane) const;
  // Snapshot of a pane's projection for per-point work.
  PaneProjection projection(int pane) const;
  Vec2 projectPoint(int pane, const Vec3& c) const { return projection(pane).projectPoint(c); }
  bool unproject(int pane, int x, int y, double z, Vec3& out) const {
    return projection(pane).unproject(x, y, z, out);
  }

  // The rubber-box zoom: a box of more than 2 pixels either way fits the pane to it and holds
  // it there; a smaller one returns the pane to automatic fitting.
  void zoomPane(int pane, int x0, int y0, int x1, int y1, FitSource& source);
  // The fit phase: scale and centre of every pane in use.
  void fitPanes(FitSource& source);

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;

 private:
  const int* rect(int pane) const { return paneRects_[pane]; }
  void measurePanes(FitSource& source);
  void fitScale(int pane);
  void fitCentre(int pane);

  ValueList& values_;
  const int& paneCount_;
  const int (&paneRects_)[4][4];
};

}  // namespace lmv
