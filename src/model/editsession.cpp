#include "model/editsession.h"

#include <algorithm>
#include <cmath>

#include "geometry/beam.h"
#include "geometry/light.h"
#include "geometry/mhlight.h"
#include "geometry/mmlight.h"
#include "geometry/projection.h"
#include "geometry/represent.h"
#include "geometry/transformation.h"
#include "model/color.h"
#include "model/group.h"
#include "model/objectentry.h"
#include "model/objectlist.h"
#include "model/riser.h"
#include "model/theatre.h"
#include "model/truss.h"
#include "model/value.h"
#include "model/viewentry.h"
#include "model/viewlist.h"
#include "platform/canvas.h"

namespace lmv {

namespace {

constexpr int kRubberBoxColor = 8421504;  // grey 128, 128, 128
// A screen point that no box contains: objects without one in the pane write nothing.
constexpr int kNoScreenPoint = -2147483647 - 1;

IVec3 truncVec(const Vec3& v) {
  return {truncToInt(v.x), truncToInt(v.y), truncToInt(v.z)};
}

int axisOf(const IVec3& v, int a) {
  return a == kAxisX ? v.x : (a == kAxisY ? v.y : v.z);
}

void place(ObjectEntry& object, const IVec3& p) {
  object.setWorldPosition(p.x, p.y, p.z);
}

}  // namespace

EditSession::EditSession(Theatre& t, ObjectList& l)
    : AllocCounter("EditSession"), theatre(t), list(l) {}

bool EditSession::isKnown(const ObjectEntry* object) const {
  if (!object) return false;
  return list.indexOf(object) >= 0 || object == list.defaultRiser.get() ||
         object == list.defaultTruss.get() || object == list.defaultMHLight.get() ||
         object == list.defaultMMLight.get();
}

ObjectEntry* EditSession::picked() {
  // An undo or a deletion may have taken the object out of the theatre since it was picked.
  if (pickedObject && !isKnown(pickedObject)) {
    pickedObject = nullptr;
    pickIndex = -1;
    pickPane = -1;
  }
  return pickedObject;
}

int EditSession::adoptSelection(ObjectEntry* selected) {
  pickedObject = selected;
  pickIndex = list.selectedIndex;
  pickPane = list.pickPane;
  return pickedObject ? 1 : 0;
}

int EditSession::pick(int pane, int x, int y, bool skipLocked, char skipType) {
  return adoptSelection(list.pick(pane, x, y, skipLocked, skipType));
}

int EditSession::pickBest(int pane, int x, int y, bool skipLocked, char skipType) {
  return adoptSelection(list.pickBest(pane, x, y, skipLocked, skipType));
}

int EditSession::pickNonTruss(int pane, int x, int y, bool skipLocked) {
  return adoptSelection(list.pickNonTruss(pane, x, y, skipLocked));
}

int EditSession::pickInCurrentGroup(int pane, int x, int y) {
  return adoptSelection(list.pickInCurrentGroup(pane, x, y));
}

int EditSession::pickNext() {
  return adoptSelection(list.pickNext());
}

int EditSession::selectFirstOfKind(char letter) {
  return adoptSelection(list.selectFirstOfKind(letter));
}

int EditSession::selectNextOfKind(char letter) {
  return adoptSelection(list.selectNextOfKind(letter));
}

void EditSession::select(ObjectEntry* object) {
  if (!object) {
    clearPick();
  } else if (list.indexOf(object) >= 0) {
    list.select(object);
    adoptSelection(list.selectedObject);
  } else if (isKnown(object)) {
    // A default object: edited through the dialogs, never selected in the list.
    list.clearSelection();
    list.changed = 1;
    pickedObject = object;
    pickIndex = -1;
    pickPane = -1;
  }
}

void EditSession::clearPick() {
  resetDrag();
  pickIndex = -1;
  list.clearSelection();
  list.changed = 1;
}

void EditSession::makeSelectedCurrentGroup() {
  list.makeSelectedCurrentGroup();
}

void EditSession::toggleSelectedInCurrentGroup() {
  list.toggleSelectedInCurrentGroup();
}

void EditSession::removeSelectedFromCurrentGroup() {
  list.removeSelectedFromCurrentGroup();
}

void EditSession::deleteSelected() {
  list.deleteSelected();
  adoptSelection(list.selectedObject);
  editChanged = 1;
}

bool EditSession::worldAtDepth(int pane, int x, int y, double depth, Vec3& out) const {
  const ViewList& views = *theatre.viewList;
  if (pane < 0 || pane >= views.panes()) return false;
  const ViewEntry* view = views.paneView(pane);
  Vec3 camera;
  if (!view || !views.unproject(pane, x, y, depth, camera)) return false;
  out = view->transformation.applyInverse(camera);
  return true;
}

void EditSession::projectDragPoint(const Vec3& world, bool start) {
  const ViewList& views = *theatre.viewList;
  for (int pane = 0; pane < views.panes(); ++pane) {
    const ViewEntry* view = views.paneView(pane);
    if (pane == pickPane || !view) continue;
    const PaneProjection projection = views.projection(pane);
    const ScreenPoint p =
        projection.toScreenBeam(projection.projectPoint(view->transformation.apply(world)));
    dragPoints[pane][0] = p.x;
    dragPoints[pane][1] = p.y;
    if (start) {
      dragStartPoints[pane][0] = p.x;
      dragStartPoints[pane][1] = p.y;
    }
  }
}

double EditSession::meanDepth(ObjectEntry& object, int pane) const {
  // A group is dragged at the depth of the member it was hit through.
  ObjectEntry* body = &object;
  while (Group* g = body->asGroup()) {
    ObjectEntry* member = g->hitMember;
    if (!member && !g->members().empty()) member = g->members().front();
    if (!member) break;
    body = member;
  }
  if (const Represent* r = body->representation(pane)) {
    std::vector<Vec3> points;
    r->polygons.collectViewPoints(points);
    if (!points.empty()) {
      double sum = 0;
      for (const Vec3& p : points) sum += p.z;
      return sum / double(points.size());
    }
  }
  // Not built in this pane yet: the depth of the object's reference point.
  const ViewEntry* view = theatre.viewList->paneView(pane);
  return view ? view->transformation.apply(body->worldPosition()).z : 0;
}

void EditSession::startDrag() {
  ObjectEntry* o = picked();
  const int pane = pickPane;
  if (!o || pane < 0 || pane >= theatre.viewList->panes()) return;
  pickedStartPosition = o->worldPosition();
  const int x = list.pickPoint[0];
  const int y = list.pickPoint[1];
  dragStartPoints[pane][0] = dragPoints[pane][0] = x;
  dragStartPoints[pane][1] = dragPoints[pane][1] = y;
  dragDepth = meanDepth(*o, pane);
  if (!worldAtDepth(pane, x, y, dragDepth, dragStartWorld)) dragStartWorld = pickedStartPosition;
  projectDragPoint(dragStartWorld, true);
  editChanged = 1;
}

void EditSession::dragTo(int x, int y) {
  ObjectEntry* o = picked();
  const int pane = pickPane;
  if (!o || pane < 0 || pane > 3) return;
  dragPoints[pane][0] = x;
  dragPoints[pane][1] = y;
  Vec3 w;
  if (!worldAtDepth(pane, x, y, dragDepth, w)) return;
  projectDragPoint(w, false);
  // Lengths are whole units: the moved position is rounded like every computed one.
  place(*o, roundToInt(pickedStartPosition + (w - dragStartWorld)));
  editChanged = 1;
}

void EditSession::endDrag() {
  ObjectEntry* o = picked();
  if (o && o->isReal())
    if (Riser* r = o->asRiser()) r->autoButtNow();
  resetDrag();
  pickIndex = -1;
  list.clearSelection();
  list.changed = 1;
}

void EditSession::resetDrag() {
  for (int pane = 0; pane < 4; ++pane)
    for (int k = 0; k < 2; ++k) dragStartPoints[pane][k] = dragPoints[pane][k] = 0;
  pickedObject = nullptr;
  pickPane = -1;
  editChanged = 1;
}

void EditSession::rotatePicked(int dx, int dy, int dz) {
  ObjectEntry* o = picked();
  if (!o) return;
  const IVec3 a = o->worldOrientationInt();
  o->setWorldOrientation(a.x + dx, a.y + dy, a.z + dz);
  editChanged = 1;
}

void EditSession::placeAt(ObjectEntry& object, int pane, int x, int y) {
  const ViewList& views = *theatre.viewList;
  if (pane < 0 || pane >= views.panes()) return;
  const ViewEntry* view = views.paneView(pane);
  if (!view) return;
  const Vec3 camera = view->transformation.apply(object.worldPosition());
  Vec3 w;
  if (!worldAtDepth(pane, x, y, camera.z, w)) return;
  const IVec3 p = roundToInt(w);
  place(object, p);
  // The next new object of this kind starts from here.
  Riser* def = nullptr;
  switch (object.typeLetter) {
    case 'r':
      def = list.defaultRiser.get();
      break;
    case 't':
      def = list.defaultTruss.get();
      break;
    case 'm':
      def = list.defaultMMLight.get();
      break;
    case 'h':
      def = list.defaultMHLight.get();
      break;
  }
  if (def && def != &object) place(*def, p);
  editChanged = 1;
}

bool EditSession::worldPointAt(int pane, int x, int y, Vec3& out) const {
  out = {noCoordinate, noCoordinate, noCoordinate};
  const ViewList& views = *theatre.viewList;
  if (pane < 0 || pane >= views.panes()) return false;
  const ViewEntry* view = views.paneView(pane);
  if (!view || view->viewType == '?' || int(views.showDepth->currentValue()) == 1) return false;
  Vec3 w;
  if (!worldAtDepth(pane, x, y, -1, w)) return false;
  switch (view->viewType) {
    case 'p':
      w.y = noCoordinate;
      break;
    case 's':
      w.x = noCoordinate;
      break;
    case 'f':
      w.z = noCoordinate;
      break;
  }
  out = w;
  return true;
}

void EditSession::startRubberBox(int pane, int x, int y) {
  if (pane < 0 || pane > 3) return;
  rubberBoxPane = pane;
  rubberBoxStart[0] = rubberBoxEnd[0] = x;
  rubberBoxStart[1] = rubberBoxEnd[1] = y;
}

void EditSession::updateRubberBox(int pane, int x, int y) {
  if (rubberBoxPane < 0 || pane != rubberBoxPane) return;
  rubberBoxEnd[0] = x;
  rubberBoxEnd[1] = y;
  editChanged = 1;
}

void EditSession::endRubberBox() {
  rubberBoxPane = -1;
  editChanged = 1;
}

void EditSession::drawRubberBox() {
  const int pane = rubberBoxPane;
  if (pane < 0 || pane >= theatre.paneCount || pane > 3) return;
  Canvas* canvas = theatre.paneCanvases[pane];
  if (!canvas) return;
  const BrushStyle style = canvas->brushStyle();
  canvas->setPenColor(kRubberBoxColor);
  canvas->setBrushStyle(BrushStyle::Clear);
  canvas->rectangle(rubberBoxStart[0], rubberBoxStart[1], rubberBoxEnd[0], rubberBoxEnd[1]);
  canvas->setBrushStyle(style);
}

EditSession::Box EditSession::orderedBox() const {
  return {
      std::min(rubberBoxStart[0], rubberBoxEnd[0]), std::min(rubberBoxStart[1], rubberBoxEnd[1]),
      std::max(rubberBoxStart[0], rubberBoxEnd[0]), std::max(rubberBoxStart[1], rubberBoxEnd[1])};
}

bool EditSession::inBox(ObjectEntry& object, const Box& box) {
  int x = kNoScreenPoint;
  int y = kNoScreenPoint;
  object.screenPoint(rubberBoxPane, x, y);
  return box.contains(x, y);
}

int EditSession::analyseRubberBox() {
  if (rubberBoxPane < 0) return 0;
  const Box box = orderedBox();
  if (box.right - box.left <= 2 && box.bottom - box.top <= 2) return RubberBoxClick;
  int risers = 0, lights = 0, trusses = 0;
  bool grouped = false;
  for (auto& entry : list.objects()) {
    ObjectEntry& o = *entry;
    if (!inBox(o, box)) continue;
    if (o.typeLetter == 'r') ++risers;
    if (o.isLight()) ++lights;
    if (o.typeLetter == 't') ++trusses;
    if (o.parentGroup) grouped = true;
  }
  int flags = 0;
  if (risers > 1) flags |= RubberBoxRisers;
  if (lights > 1) flags |= RubberBoxLights;
  if (trusses == 1) flags |= RubberBoxOneTruss;
  if (trusses > 1) flags |= RubberBoxTrusses;
  if (!grouped) flags |= RubberBoxNoGroup;
  if (risers + lights + trusses > 0) flags |= RubberBoxAny;
  return flags;
}

void EditSession::homeLights() {
  for (const auto& o : list.objects()) {
    if (!o->isLight()) continue;
    auto* light = dynamic_cast<Light*>(o.get());
    if (!light || !light->beam) continue;
    light->pan->setValue(0);
    light->tilt->setValue(0);
    Beam& beam = *light->beam;
    beam.aperture->setValue(1);
    if (Color* colour = beam.colour.get()) {
      for (Value* c : colour->rgbo) c->setValue(255);
      colour->intensity->setValue(255);
      for (Value* f : colour->filters) f->setValue(0);
    }
  }
}

void EditSession::applyRubberBox(bool zoom, bool group, bool lights, bool toLine, bool evenly) {
  if (rubberBoxPane < 0) return;
  const Box box = orderedBox();
  if (zoom)
    theatre.zoomPane(rubberBoxPane, box.left, box.top, box.right, box.bottom);
  else if (group)
    groupBox(box);
  else
    alignBox(box, lights, toLine, evenly);
  endRubberBox();
}

void EditSession::groupBox(const Box& box) {
  Group* group = list.newGroup();
  // Outermost groups are gathered first: adding one moves what it holds under the new group.
  std::vector<ObjectEntry*> joining;
  for (auto& entry : list.objects()) {
    ObjectEntry* o = entry.get();
    if (o == group || !inBox(*o, box)) continue;
    while (o->parentGroup) o = o->parentGroup;
    if (o != group && std::find(joining.begin(), joining.end(), o) == joining.end())
      joining.push_back(o);
  }
  for (ObjectEntry* o : joining) group->addMember(o);
}

void EditSession::alignBox(const Box& box, bool lights, bool toLine, bool evenly) {
  std::vector<ObjectEntry*> objects;
  for (auto& entry : list.objects()) {
    ObjectEntry* o = entry.get();
    const bool kind = lights ? o->isLight() : o->typeLetter == 'r';
    if (kind && o->asRiser() && inBox(*o, box)) objects.push_back(o);
  }
  for (ObjectEntry* o : objects) o->eraseOutline();

  std::vector<IVec3> positions;
  for (ObjectEntry* o : objects) positions.push_back(o->worldPositionInt());
  int axis = -1;
  double spread = 0;
  for (int a = 0; a < 3 && !positions.empty(); ++a) {
    int lo = axisOf(positions[0], a), hi = lo;
    for (const IVec3& p : positions) {
      lo = std::min(lo, axisOf(p, a));
      hi = std::max(hi, axisOf(p, a));
    }
    const double s = double(hi) - double(lo);
    if (axis < 0 || s > spread) {
      axis = a;
      spread = s;
    }
  }
  // One object, or all at one place: there is no line to find.
  if (axis < 0 || std::fabs(spread) <= 0.000001) return;

  // Equal coordinates keep their list order.
  std::vector<size_t> order(objects.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return axisOf(positions[a], axis) < axisOf(positions[b], axis);
  });
  std::vector<ObjectEntry*> sorted;
  std::vector<IVec3> sortedPositions;
  for (size_t i : order) {
    sorted.push_back(objects[i]);
    sortedPositions.push_back(positions[i]);
  }
  if (toLine)
    alignToLine(sorted, sortedPositions, axis, evenly);
  else
    alignToTruss(box, sorted);
}

void EditSession::alignToLine(const std::vector<ObjectEntry*>& objects,
                              const std::vector<IVec3>& positions, int m, bool evenly) {
  const int n = int(objects.size());
  if (n < 2) return;
  double sumM = 0, sumMM = 0;
  for (const IVec3& p : positions) {
    sumM += axisOf(p, m);
    sumMM += double(axisOf(p, m)) * axisOf(p, m);
  }
  Vec3 d, c;
  d[m] = 1;
  c[m] = 0;
  for (int a = 0; a < 3; ++a) {
    if (a == m) continue;
    double sumA = 0, sumMA = 0;
    for (const IVec3& p : positions) {
      sumA += axisOf(p, a);
      sumMA += double(axisOf(p, m)) * axisOf(p, a);
    }
    const double slope = (n * sumMA - sumM * sumA) / (n * sumMM - sumM * sumM);
    // Lines run at multiples of 15 degrees.
    double q = radToDeg(std::atan(slope)) / 15;
    q = q < 0 ? q - 0.4999 : q + 0.4999;
    const double angle = std::trunc(q) * 15;
    d[a] = std::tan(degToRad(angle));
    c[a] = (sumA - d[a] * sumM) / n;
  }
  const double dd = dot(d, d);
  std::vector<IVec3> moved;
  for (int i = 0; i < n; ++i) {
    const double t = dot(toVec3(positions[size_t(i)]) - c, d) / dd;
    moved.push_back(truncVec(t * d + c));
  }
  if (evenly) {
    const double first = axisOf(moved.front(), m);
    const double step = (axisOf(moved.back(), m) - first) / double(n - 1);
    for (int q = 1; q < n - 1; ++q) moved[size_t(q)] = truncVec((first + q * step) * d + c);
  }
  for (int i = 0; i < n; ++i) place(*objects[size_t(i)], moved[size_t(i)]);
}

void EditSession::alignToTruss(const Box& box, const std::vector<ObjectEntry*>& objects) {
  const int n = int(objects.size());
  if (n < 2) return;
  Riser* truss = nullptr;
  for (auto& entry : list.objects()) {
    if (entry->typeLetter == 't' && entry->asRiser() && inBox(*entry, box)) {
      truss = entry->asRiser();
      break;
    }
  }
  if (!truss) return;
  Transformation turn(kAxisX, kAxisZ, kAxisY);
  turn.set({}, truss->worldOrientation());
  const Vec3 u = turn.apply({1, 0, 0});
  const Vec3 v = turn.apply({0, 1, 0});
  const IVec3 length = truss->getSize();
  const double h = objects.front()->asRiser()->getSize().y;
  const Vec3 q = truss->worldPosition();
  // Evenly along the truss, the end ones half their height from its ends, hanging below.
  const double step = (length.x - h) / (n - 1);
  const double start = (h - length.x) / 2;
  const double drop = (3.0 * length.y + h) / 2;
  for (int k = 0; k < n; ++k)
    place(*objects[size_t(k)], truncVec(q + (start + k * step) * u - drop * v));
}

}  // namespace lmv
