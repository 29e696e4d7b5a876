#include "model/viewlist.h"

#include <algorithm>
#include <cmath>

#include "model/load.h"
#include "model/value.h"
#include "model/viewentry.h"

namespace lmv {

namespace {
const char* const kStandardNames[3] = {"plan", "side", "front"};
}  // namespace

ViewList::ViewList(ValueList& values, const int& paneCount, const int (&paneRects)[4][4])
    : AllocCounter("ViewList"), values_(values), paneCount_(paneCount), paneRects_(paneRects) {
  sameScale = values_.newValue();
  sameScale->setValue(1);
  showDepth = values_.newValue();
}

ViewList::~ViewList() {
  viewEntries.clear();
  currentView.reset();
  values_.removeValue(sameScale);
  values_.removeValue(showDepth);
}

ViewEntry* ViewList::entry(int i) const {
  return i >= 0 && i < entryCount() ? viewEntries[size_t(i)].get() : nullptr;
}

int ViewList::indexOf(const ViewEntry* view) const {
  for (int i = 0; i < entryCount(); ++i)
    if (viewEntries[size_t(i)].get() == view) return i;
  return -1;
}

void ViewList::completeViews(const int box[3]) {
  std::copy(box, box + 3, boxSize);
  for (int i = 0; i < 3; ++i) {
    ViewEntry* e = entry(i);
    if (!e) e = appendEntry();
    e->setName(kStandardNames[i]);
    if (i == 0) e->makePlan(box);
    if (i == 1) e->makeSide(box);
    if (i == 2) e->makeFront(box);
    paneViews[i + 1] = e;
  }
  for (int i = 0; i < 6; ++i) {
    if (entry(i + 3)) continue;
    ViewEntry* e = appendEntry();
    e->setName(std::to_string(i + 1));
    e->makeDefaultUser(box);
  }
  if (!currentView) {
    currentView = std::make_unique<ViewEntry>(*this, values_);
    currentView->setName("current");
    currentView->makeDefaultUser(box);
    paneViews[0] = currentView.get();
    currentIx = 3;
    viewsChanged = 1;
  }
  // A current view that came from a file has no pane yet.
  if (!paneViews[0]) paneViews[0] = currentView.get();
}

void ViewList::boxResized(const int oldSize[3], const int newSize[3]) {
  completeViews(newSize);
  for (int i = 3; i < entryCount(); ++i) viewEntries[size_t(i)]->rescale(oldSize, newSize);
  currentView->rescale(oldSize, newSize);
}

bool ViewList::selectView(int index) {
  ViewEntry* e = entry(index);
  if (!e || !currentView) return false;
  currentIx = index;
  currentView->copyFrom(*e);
  viewsChanged = 1;
  updateTransformations();
  return true;
}

void ViewList::setPaneView(int pane, ViewEntry* view) {
  if (pane < 0 || pane > 3) return;
  paneViews[pane] = view;
  paneViewsChanged = 1;
}

void ViewList::storeCurrentView(int index) {
  ViewEntry* e = entry(index);
  if (e && currentView) e->copyFrom(*currentView);
}

ViewEntry* ViewList::appendEntry() {
  viewEntries.push_back(std::make_unique<ViewEntry>(*this, values_));
  return viewEntries.back().get();
}

void ViewList::removeEntry(int index) {
  ViewEntry* e = entry(index);
  if (!e) return;
  for (ViewEntry*& shown : paneViews) {
    if (shown != e) continue;
    shown = currentView.get();
    paneViewsChanged = 1;
  }
  viewEntries.erase(viewEntries.begin() + index);
}

void ViewList::updateTransformations() {
  for (auto& e : viewEntries) e->updateTransformation();
  if (currentView) currentView->updateTransformation();
}

int ViewList::panes() const {
  return std::clamp(paneCount_, 0, 4);
}

ViewEntry* ViewList::paneView(int pane) const {
  if (pane < 0 || pane > 3) return nullptr;
  if (paneCount_ == 1 || !paneViews[pane]) return currentView.get();
  return paneViews[pane];
}

bool ViewList::showsCurrentView(int pane) const {
  return currentView && paneView(pane) == currentView.get();
}

bool ViewList::isPerspective(int pane) const {
  return paneCount_ == 1 || showsCurrentView(pane) || truncToInt(showDepth->currentValue()) == 1;
}

PaneProjection ViewList::projection(int pane) const {
  if (pane < 0 || pane > 3) return {};
  return {isPerspective(pane), paneScale[pane][0], paneScale[pane][1], paneOffset[pane][0],
          paneOffset[pane][1]};
}

// Steps 1 and 2 of fitting: each representation's extent is measured, gathered into its
// pane's accumulator and turned into pixels with the pane's present mapping. A zoomed pane
// keeps its accumulator (the zoom box); only its walls are measured.
void ViewList::measurePanes(FitSource& source) {
  const int n = panes();
  for (int i = 0; i < n; ++i) {
    const PaneProjection pane = projection(i);
    Extent& acc = paneExtent[i];
    auto take = [&](Represent& r) {
      r.measure();
      acc.include(r.extent);
      r.toPixels(pane);
    };
    if (paneFitMode[i] != FitZoomed) {
      acc.reset();
      // By reference: the visitor is not copied, so nothing is allocated per frame.
      source.forEachObjectRepresent(i, std::ref(take));
    }
    if (Represent* walls = source.wallsRepresent(i)) take(*walls);
  }
}

// The largest scale that fits the accumulator into the pane with a one-pixel margin, equal
// on both axes. An accumulator without width and height keeps the pane's scale.
void ViewList::fitScale(int i) {
  const Extent& e = paneExtent[i];
  if (e.empty()) return;
  const int* r = rect(i);
  const double w = e.xMax - e.xMin;
  const double h = e.yMax - e.yMin;
  const double spanX = r[2] - r[0] - 2;
  const double spanY = r[3] - r[1] - 2;
  double sx;
  double sy;
  if (w > 0 && h > 0) {
    sx = spanX / w;
    sy = spanY / h;
    if (std::fabs(sy) >= std::fabs(sx))
      sy = sx;
    else
      sx = std::copysign(std::fabs(sy), sx);
  } else if (w > 0) {
    sx = spanX / w;
    sy = sx;
  } else if (h > 0) {
    sy = spanY / h;
    sx = std::copysign(std::fabs(sy), spanX);
  } else {
    return;
  }
  paneScale[i][0] = sx;
  paneScale[i][1] = sy;
}

// Keeps the centre while the scale stands and everything still fits, so that a view does
// not jump while objects move inside it; otherwise centres the accumulator.
void ViewList::fitCentre(int i) {
  const Extent& e = paneExtent[i];
  if (e.empty()) return;
  const int* r = rect(i);
  const double sx = paneScale[i][0];
  const double sy = paneScale[i][1];
  const int cx = paneOffset[i][0];
  const int cy = paneOffset[i][1];
  const bool sameScaleAsBefore = sx == previousScale[i][0] && sy == previousScale[i][1];
  const bool inside = r[0] <= e.xMin * sx + cx && e.xMax * sx + cx <= r[2] &&
                      r[1] <= e.yMin * sy + cy && e.yMax * sy + cy <= r[3];
  if (sameScaleAsBefore && inside) return;
  const double s = sx;
  paneOffset[i][0] = truncToInt(r[0] - s * e.xMin + ((r[2] - r[0]) - s * (e.xMax - e.xMin)) * 0.5);
  paneOffset[i][1] = truncToInt(r[1] - s * e.yMin + ((r[3] - r[1]) - s * (e.yMax - e.yMin)) * 0.5);
}

void ViewList::fitPanes(FitSource& source) {
  const int n = panes();
  measurePanes(source);
  for (int i = 0; i < n; ++i) {
    if (paneFitMode[i] == FitZoomed) {
      paneFitMode[i] = FitHeld;
      continue;
    }
    previousScale[i][0] = paneScale[i][0];
    previousScale[i][1] = paneScale[i][1];
    previousOffset[i][0] = paneOffset[i][0];
    previousOffset[i][1] = paneOffset[i][1];
    if (paneFitMode[i] == FitAuto) fitScale(i);
  }
  if (sameScale->currentValue() != 0 && n > 1) {
    double a = 1e9;
    for (int i = 0; i < n; ++i)
      if (!showsCurrentView(i)) a = std::min(a, std::fabs(paneScale[i][0]));
    for (int i = 0; i < n; ++i) {
      if (showsCurrentView(i) || paneFitMode[i] != FitAuto) continue;
      paneScale[i][0] = std::copysign(a, paneScale[i][0]);
      paneScale[i][1] = std::copysign(a, paneScale[i][1]);
    }
  }
  for (int i = 0; i < n; ++i)
    if (paneFitMode[i] == FitAuto) fitCentre(i);
  // Again, so that every pixel extent uses the final mapping.
  measurePanes(source);
}

void ViewList::zoomPane(int pane, int x0, int y0, int x1, int y1, FitSource& source) {
  if (pane < 0 || pane > 3) return;
  paneViewsChanged = 1;
  const int left = std::min(x0, x1);
  const int right = std::max(x0, x1);
  const int top = std::min(y0, y1);
  const int bottom = std::max(y0, y1);
  const double sx = paneScale[pane][0];
  const double sy = paneScale[pane][1];
  // A click, or a pane that was never fitted (no plane units to zoom to): automatic again.
  if ((right - left <= 2 && bottom - top <= 2) || sx == 0 || sy == 0) {
    paneFitMode[pane] = FitAuto;
    return;
  }
  double ax = (left - paneOffset[pane][0]) / sx;
  double bx = (right - paneOffset[pane][0]) / sx;
  double ay = (top - paneOffset[pane][1]) / sy;
  double by = (bottom - paneOffset[pane][1]) / sy;
  if (ax > bx) std::swap(ax, bx);
  if (ay > by) std::swap(ay, by);
  if (nearlyEqual(ax, bx)) bx = ax + 1;
  if (nearlyEqual(ay, by)) by = ay + 1;
  paneExtent[pane] = {ax, bx, ay, by};
  paneFitMode[pane] = FitAuto;
  previousScale[pane][0] = sx;
  previousScale[pane][1] = sy;
  previousOffset[pane][0] = paneOffset[pane][0];
  previousOffset[pane][1] = paneOffset[pane][1];
  fitScale(pane);
  fitCentre(pane);
  paneFitMode[pane] = FitZoomed;
  fitPanes(source);
}

void ViewList::load(Load& in) {
  readSection(in, "ViewList", {"currentIx", "viewEntry", "current"}, [&](int key) {
    switch (key) {
      case 0:
        readInt(in, currentIx);
        break;
      case 1: {
        int n = -1;
        if (!in.intAt(1, n)) return;
        ViewEntry* e = entry(n);
        if (!e) e = appendEntry();
        e->load(in);
        break;
      }
      case 2:
        if (!currentView) currentView = std::make_unique<ViewEntry>(*this, values_);
        currentView->load(in);
        break;
    }
  });
}

void ViewList::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  std::string child = prefix + "  ";
  fprintf(f, "%sViewList\n", p);
  fprintf(f, "%s currentIx\n", p);
  fprintf(f, "%s  %d\n", p, currentIx);
  for (int n = 0; n < entryCount(); ++n) {
    fprintf(f, "%s viewEntry %d\n", p, n);
    viewEntries[size_t(n)]->save(f, child);
  }
  if (currentView) {
    fprintf(f, "%s current\n", p);
    currentView->save(f, child);
  }
}

}  // namespace lmv
