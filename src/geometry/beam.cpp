#include "geometry/beam.h"

#include <cmath>

#include "base/runlog.h"
#include "fixtures/gobolist.h"
#include "geometry/beamaxis.h"
#include "geometry/light.h"
#include "geometry/transformation.h"
#include "model/color.h"
#include "model/colorlookup.h"
#include "model/globals.h"
#include "model/load.h"
#include "model/objectlist.h"
#include "model/theatre.h"
#include "model/value.h"
#include "model/viewentry.h"
#include "model/viewlist.h"
#include "platform/canvas.h"

namespace lmv {

namespace {

bool finite(const Vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

double axisOf(const IVec3& v, int axis) {
  return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

// Values are read as whole numbers by truncation; out-of-range values saturate.
int truncValue(const Value* v) {
  return truncToInt(v->currentValue());
}

void removeValue(Value* v) {
  if (v && v->list) v->list->removeValue(v);
}

// Older files stored these values in other units: the first range of the first spec gets the
// factor of today's decoding.
void fixOldScale(Value* v, double scale) {
  if (v->specs.count() == 0) return;
  DmxSpec* s = v->specs.at(0);
  if (s->ranges.empty()) return;
  s->beginEdit();
  s->ranges.front().scale = scale;
  s->endEdit();
}

// The outline point (u, v) inside a circle of radius a (the iris).
void clipToAperture(double& u, double& v, double a) {
  const double rho = std::sqrt(u * u + v * v);
  if (rho > 0 && rho > a) {
    u = u * (a / rho);
    v = v * (a / rho);
  }
}

// Gauss-Jordan elimination with full pivoting for m x = rhs; false when the determinant's
// magnitude falls below 1e-10.
bool solve3(double m[3][3], double rhs[3], double x[3]) {
  int column[3] = {0, 1, 2};
  double det = 1;
  for (int step = 0; step < 3; ++step) {
    int pr = step, pc = step;
    double best = -1;
    for (int r = step; r < 3; ++r)
      for (int c = step; c < 3; ++c)
        if (std::fabs(m[r][c]) > best) {
          best = std::fabs(m[r][c]);
          pr = r;
          pc = c;
        }
    if (pr != step) {
      for (int c = 0; c < 3; ++c) std::swap(m[pr][c], m[step][c]);
      std::swap(rhs[pr], rhs[step]);
    }
    if (pc != step) {
      for (int r = 0; r < 3; ++r) std::swap(m[r][pc], m[r][step]);
      std::swap(column[pc], column[step]);
    }
    const double pivot = m[step][step];
    det *= pivot;
    if (!(std::fabs(det) >= 1e-10)) return false;
    for (int c = 0; c < 3; ++c) m[step][c] /= pivot;
    rhs[step] /= pivot;
    for (int r = 0; r < 3; ++r) {
      if (r == step) continue;
      const double f = m[r][step];
      if (f == 0) continue;
      for (int c = 0; c < 3; ++c) m[r][c] -= f * m[step][c];
      rhs[r] -= f * rhs[step];
    }
  }
  for (int i = 0; i < 3; ++i) x[column[i]] = rhs[i];
  return true;
}

// Components by an axis known at compile time.
template <int A, class V>
double get(const V& v) {
  if constexpr (A == kAxisX) return v.x;
  if constexpr (A == kAxisY) return v.y;
  return v.z;
}
template <int A>
double& ref(Vec3& v) {
  if constexpr (A == kAxisX) return v.x;
  if constexpr (A == kAxisY) return v.y;
  return v.z;
}

// One axis J of a hit at t: where the ray crosses it, which must lie within the face.
template <int J>
bool hitAlong(const Vec3& o, const Vec3& p, double t, const IVec3& room, Vec3& q, SpotKind& kind) {
  const double qj = get<J>(o) + (get<J>(p) - get<J>(o)) * t;
  const double size = get<J>(room);
  if (!(qj >= 0 && qj <= size)) return false;
  if (qj == 0 || qj == size) kind = SpotKind::Border;
  ref<J>(q) = qj;
  return true;
}

// Beam::hitFace for a face across axis K at `plane`; the other axes in increasing order.
template <int K>
bool hitAcross(const Vec3& o, const Vec3& p, double plane, const IVec3& room, Vec3& q,
               SpotKind& kind) {
  const double d = get<K>(p) - get<K>(o);
  if (d == 0) return false;
  const double t = (plane - get<K>(o)) / d;
  // Written so that a not-a-number fails every test.
  if (!(t >= 0)) return false;
  kind = SpotKind::Inside;
  constexpr int first = K == kAxisX ? kAxisY : kAxisX;
  constexpr int second = K == kAxisZ ? kAxisY : kAxisZ;
  if (!hitAlong<first>(o, p, t, room, q, kind) || !hitAlong<second>(o, p, t, room, q, kind))
    return false;
  ref<K>(q) = plane;
  return !samePoint(q, o);
}

Vec3 roomCorner(const int (&counts)[6], const IVec3& room) {
  auto pick = [&](int low, double far) -> double {
    if (counts[low] > 0) return 0;
    if (counts[low + 1] > 0) return far;
    return -1;
  };
  const double x = pick(0, room.x), y = pick(2, room.y), z = pick(4, room.z);
  if (x < 0 || y < 0 || z < 0) return {0, 0, 0};
  return {x, y, z};
}

}  // namespace

// ---------------------------------------------------------------- Gobo

Gobo::Gobo(ValueList& list) : AllocCounter("Gobo") {
  orientation = list.newValue();
  index = list.newValue();
}

Gobo::~Gobo() {
  removeValue(orientation);
  removeValue(index);
}

// ---------------------------------------------------------------- Beam

Beam::Beam(Light& o, ValueList& values, const GoboList* library)
    : AllocCounter("Beam"), owner(o), values_(values) {
  colour = std::make_unique<Color>(values);
  for (Value* c : colour->rgbo) c->setValue(255);
  coneAngle = values.newValue();
  coneAngle->configure(1, 1, 0, 0.1, 0, 0);
  coneAngle->setValue(10);
  aperture = values.newValue();
  aperture->configure(1, 1, 0, 1, 0, 0);
  aperture->setValue(1);
  addGobo();
  Value* index = gobos.front()->index;
  index->configure(1, 1, 0, library ? library->count() / 256.0 : 1.0, 0, 0);
  index->setValue(0);
}

Beam::~Beam() {
  gobos.clear();
  colour.reset();
  removeValue(coneAngle);
  removeValue(aperture);
}

double Beam::getConeAngle() const {
  return coneAngle->currentValue();
}
void Beam::setConeAngle(double degrees) {
  coneAngle->setValue(degrees);
}
double Beam::getAperture() const {
  return aperture->currentValue();
}
void Beam::setAperture(double a) {
  aperture->setValue(a);
}
void Beam::setColour(int r, int g, int b) {
  colour->setRgb(r, g, b);
}

void Beam::setGoboCount(int n) {
  while (goboCount() > n && !gobos.empty()) gobos.pop_back();
  while (goboCount() < n) addGobo();
}

void Beam::addGobo() {
  gobos.push_back(std::make_unique<Gobo>(values_));
}

int Beam::goboOrientation(int i) const {
  return i >= 0 && i < goboCount() ? truncValue(gobos[size_t(i)]->orientation) : 0;
}
int Beam::goboIndex(int i) const {
  return i >= 0 && i < goboCount() ? truncValue(gobos[size_t(i)]->index) : 0;
}
void Beam::setGoboOrientation(int i, double degrees) {
  if (i >= 0 && i < goboCount()) gobos[size_t(i)]->orientation->setValue(degrees);
}
void Beam::setGoboIndex(int i, double index) {
  if (i >= 0 && i < goboCount()) gobos[size_t(i)]->index->setValue(index);
}

// ---------------------------------------------------------------- rays

bool Beam::prepareRays(const GoboList* library) {
  rays_.clear();
  records_.clear();
  int n = 0;
  for (const auto& g : gobos) {
    const int points = library ? library->goboAt(truncValue(g->index)).pointCount() : 0;
    n += points + 1;
  }
  const double a = aperture->currentValue();
  if (n == 0 || !(std::fabs(a) >= kGeometryTolerance) || !library) return false;
  if (int(rays_.capacity()) < n) rays_.reserve(size_t(n));
  return true;
}

void Beam::computeHeadRays(const LightPose& pose, const GoboList* library) {
  const int length = pose.size.x / 2;
  const double r = length * std::tan(degToRad(getConeAngle() / 2));
  origin = pose.position;
  if (!prepareRays(library)) return;
  const double a = aperture->currentValue();
  const bool closeEach = gobos.size() > 1;
  Transformation turn(kAxisX, kAxisZ, kAxisY);
  turn.skipInverse();
  double turnedBy = 0;
  for (size_t k = 0; k < gobos.size(); ++k) {
    const Gobo& g = *gobos[k];
    const GoboEntry& outline = library->goboAt(truncValue(g.index));
    const double theta = truncValue(g.orientation);
    // Gobos at the same angle share the turn (the same operations give the same matrix).
    if (k == 0 || theta != turnedBy) {
      turn.set({}, {theta, pose.pan, pose.tilt + 90});
      turn.rotate(pose.orientation);
      turnedBy = theta;
    }
    const size_t first = rays_.size();
    for (const GoboPoint& pt : outline.points()) {
      double u = pt.x, v = pt.y;
      clipToAperture(u, v, a);
      rays_.push_back(origin + turn.apply({double(length), r * u, r * v}));
    }
    if (closeEach && rays_.size() > first) rays_.push_back(rays_[first]);
  }
}

void Beam::computeMirrorRays(const LightPose& pose, const GoboList* library) {
  if (!prepareRays(library)) return;
  const int m = pose.size.x / 4;
  const double l = std::tan(degToRad(getConeAngle() / 2)) * (pose.size.x * 0.25);
  const MirrorGeometry g = mirrorGeometry(pose.pan, pose.tilt, pose.orientation.x);
  const Vec3 q{1, 0, 0};
  const Vec3& v = g.axis;
  const Vec3 w = g.c * g.normal;
  Vec3 e1 = w - std::fabs(dot(w, v)) * v;
  Vec3 e2;
  if (!isZeroVector(e1) && !isZeroVector(w)) {
    normalize(e1);
    e2 = cross(v, e1);
  } else {
    e1 = {0, -1, 0};
    e2 = {0, 0, -1};
  }
  Transformation frame;
  setMirrorFrame(frame, pose.orientation);
  origin = pose.position + frame.apply(double(m) * (q - v));
  const Vec3 axis = frame.apply(double(m) * v);
  const Vec3 big1 = frame.apply(l * e1);
  const Vec3 big2 = frame.apply(l * e2);
  const double a = aperture->currentValue();
  const bool closeEach = gobos.size() > 1;
  for (const auto& gobo : gobos) {
    const GoboEntry& outline = library->goboAt(truncValue(gobo->index));
    const double theta = degToRad(truncValue(gobo->orientation));
    const double c = std::cos(theta), s = std::sin(theta);
    const Vec3 bu = c * big1 - s * big2;
    const Vec3 bv = s * big1 + c * big2;
    const size_t first = rays_.size();
    for (const GoboPoint& pt : outline.points()) {
      double u = pt.x, vv = pt.y;
      clipToAperture(u, vv, a);
      rays_.push_back(origin + axis + u * bu + vv * bv);
    }
    if (closeEach && rays_.size() > first) rays_.push_back(rays_[first]);
  }
}

// ---------------------------------------------------------------- spots

bool Beam::hitFace(const Vec3& o, const Vec3& p, int face, const IVec3& room, Vec3& q,
                   SpotKind& kind) {
  const int k = face / 2;
  const double plane = face % 2 ? axisOf(room, k) : 0;
  // Every ray of every beam meets up to six faces each frame: the axes are fixed at compile
  // time there, with the very same arithmetic.
  switch (face) {
    case 0:
    case 1:
      return hitAcross<kAxisX>(o, p, plane, room, q, kind);
    case 2:
    case 3:
      return hitAcross<kAxisY>(o, p, plane, room, q, kind);
    case 4:
    case 5:
      return hitAcross<kAxisZ>(o, p, plane, room, q, kind);
    default:
      break;
  }
  const double d = p[k] - o[k];
  if (d == 0) return false;
  const double t = (plane - o[k]) / d;
  // Written so that a not-a-number fails every test.
  if (!(t >= 0)) return false;
  kind = SpotKind::Inside;
  for (int j = 0; j < 3; ++j) {
    if (j == k) continue;
    const double qj = o[j] + (p[j] - o[j]) * t;
    const double size = axisOf(room, j);
    if (!(qj >= 0 && qj <= size)) return false;
    if (qj == 0 || qj == size) kind = SpotKind::Border;
    q[j] = qj;
  }
  q[k] = plane;
  return !samePoint(q, o);
}

bool Beam::edgeCorner(const Vec3& o, int fa, const Vec3& a, int fb, const Vec3& b,
                      const IVec3& room, Vec3& corner) {
  if (samePoint(a, b)) return false;
  const int ka = fa / 2, kb = fb / 2;
  if (ka == kb || ka < 0 || kb < 0 || ka > 2 || kb > 2) return false;
  const int k = 3 - ka - kb;
  Vec3 result;
  result[ka] = fa % 2 ? axisOf(room, ka) : 0;
  result[kb] = fb % 2 ? axisOf(room, kb) : 0;
  // The plane through o, a and b as n . x = 1.
  double m[3][3] = {{a.x, a.y, a.z}, {b.x, b.y, b.z}, {o.x, o.y, o.z}};
  double rhs[3] = {1, 1, 1};
  double n[3];
  if (!solve3(m, rhs, n)) return false;
  double free;
  if (n[k] == 0) {
    free = (a[k] + b[k]) / 2;
  } else {
    double sum = 0;
    for (int j = 0; j < 3; ++j)
      if (j != k) sum += n[j] * result[j];
    free = (1 - sum) / n[k];
    if (!std::isfinite(free)) free = (a[k] + b[k]) / 2;
    const double size = axisOf(room, k);
    if (free > size) free = size;
    if (free < 0) free = 0;
  }
  result[k] = free;
  corner = result;
  return true;
}

void Beam::computeSpots(const IVec3& room) {
  records_.clear();
  if (rays_.empty()) return;
  if (int(records_.capacity()) < 3 * rayCount()) records_.reserve(size_t(3 * rayCount()));
  if (finite(origin)) {
    int start = 0;
    for (int i = 0; i < rayCount(); ++i) {
      const Vec3& p = rays_[size_t(i)];
      if (!finite(p)) continue;
      for (int step = 0; step < 6; ++step) {
        const int face = (start + step) % 6;
        Vec3 q;
        SpotKind kind;
        if (!hitFace(origin, p, face, room, q, kind)) continue;
        records_.push_back({i, face, kind, q});
        if (kind == SpotKind::Inside) {
          start = face;
          break;
        }
      }
    }
  }
  if (records_.size() < 2) {
    // Nothing to outline: the last frame's spot must not stay on show.
    spots.clear();
    return;
  }
  // Where neighbouring hits lie on different faces, the outline follows the edge between.
  for (size_t i = 0; i + 1 < records_.size(); ++i) {
    const SpotRecord a = records_[i];
    const SpotRecord b = records_[i + 1];
    if (a.kind == SpotKind::Corner || a.face == b.face) continue;
    Vec3 k;
    if (!edgeCorner(origin, a.face, a.point, b.face, b.point, room, k)) continue;
    const SpotRecord pair[2] = {{-1, a.face, SpotKind::Corner, k},
                                {-1, b.face, SpotKind::Corner, k}};
    records_.insert(records_.begin() + std::ptrdiff_t(i + 1), pair, pair + 2);
  }
  const SpotRecord last = records_.back();
  const SpotRecord first = records_.front();
  Vec3 k;
  if (last.kind != SpotKind::Corner && last.face != first.face &&
      edgeCorner(origin, last.face, last.point, first.face, first.point, room, k)) {
    records_.push_back({-1, last.face, SpotKind::Corner, k});
    records_.push_back({-1, first.face, SpotKind::Corner, k});
  }
  groupSpots(room);
}

void Beam::groupSpots(const IVec3& room) {
  const int n = recordCount();
  int counts[6] = {};
  int transitions = 0;
  for (int i = 0; i < n; ++i) {
    const SpotRecord& r = records_[size_t(i)];
    ++counts[r.face];
    if (r.face != records_[size_t(i == 0 ? n - 1 : i - 1)].face) ++transitions;
  }
  const bool corner = transitions == 3;
  int sizes[6];
  for (int f = 0; f < 6; ++f) sizes[f] = counts[f] > 0 ? counts[f] + (corner ? 1 : 0) : 0;
  spots.rebuild(sizes);
  int start = 0;
  if (corner) {
    const int lastFace = records_.back().face;
    for (int i = 0; i < n; ++i)
      if (records_[size_t(i)].face != lastFace) {
        start = i;
        break;
      }
    const Vec3 c = roomCorner(counts, room);
    for (int p = 0; p < spots.count() && p < 3; ++p) spots.poly(p).append(c);
  }
  for (int step = 0; step < n; ++step) {
    const SpotRecord& r = records_[size_t((start + step) % n)];
    if (SpotPoly* p = spots.polyOnFace(r.face)) p->append(r.point);
  }
}

// ---------------------------------------------------------------- drawing

void Beam::mapToPanes(const ViewList& views, int paneCount) {
  for (int pane = 0; pane < paneCount && pane < 4; ++pane) {
    const ViewEntry* view = views.paneView(pane);
    if (!view) continue;
    const Transformation& camera = view->transformation;
    const PaneProjection projection = views.projection(pane);
    originPixels[pane] = projection.toScreenBeam(projection.projectPoint(camera.apply(origin)));
    for (int p = 0; p < spots.count(); ++p) {
      SpotPoly& poly = spots.poly(p);
      for (int i = 0; i < poly.vertexCount(); ++i) {
        SpotVertex& v = poly.vertex(i);
        v.pixels[pane] = projection.toScreenBeam(projection.projectPoint(camera.apply(v.point)));
      }
    }
  }
}

void Beam::draw(int spotColour, int coneColour) {
  const Theatre& t = owner.objectList().theatre;
  const Globals& g = *t.globals;
  const bool spotsOn = g.spots() != 0;
  const bool conesOn = g.cones() != 0 && g.smokeLevel() != 0;
  for (int pane = 0; pane < t.paneCount && pane < 4; ++pane) {
    Canvas* canvas = t.paneCanvases[pane];
    if (!canvas) continue;
    if (spotColour != kNoColour && spotsOn) {
      canvas->setPenColor(spotColour);
      for (int p = 0; p < spots.count(); ++p) {
        const SpotPoly& poly = spots.poly(p);
        const int n = poly.vertexCount();
        if (n <= 1) continue;
        const ScreenPoint first = poly.vertex(0).pixels[pane];
        canvas->moveTo(first.x, first.y);
        for (int i = 1; i < n; ++i) {
          const ScreenPoint s = poly.vertex(i).pixels[pane];
          canvas->lineTo(s.x, s.y);
        }
        canvas->lineTo(first.x, first.y);
      }
    }
    if (coneColour != kNoColour && conesOn) {
      canvas->setPenColor(coneColour);
      const ScreenPoint o = originPixels[pane];
      for (int p = 0; p < spots.count(); ++p) {
        const SpotPoly& poly = spots.poly(p);
        const int n = poly.vertexCount();
        if (n <= 1) continue;
        for (int i = 0; i < n; ++i) {
          const ScreenPoint s = poly.vertex(i).pixels[pane];
          canvas->moveTo(o.x, o.y);
          canvas->lineTo(s.x, s.y);
        }
      }
    }
  }
}

bool Beam::beamOutsideRoom(const IVec3& room) const {
  // Also true for an origin that is not a finite point.
  return !(origin.x >= 0 && origin.x <= room.x && origin.y >= 0 && origin.y <= room.y &&
           origin.z >= 0 && origin.z <= room.z);
}

void Beam::drawBeam() {
  if (!hasRays()) return;
  const Theatre& t = owner.objectList().theatre;
  if (beamOutsideRoom(owner.objectList().wallSize())) return;
  int rgb[3];
  evaluateColour(rgb);
  const int s = t.globals->smokeLevel();
  auto orNone = [](int colour) { return (colour & 0xF8F8F8) == 0 ? kNoColour : colour; };
  const int spotColour = orNone(rgb[0] + 256 * rgb[1] + 65536 * rgb[2]);
  // A smoke level beyond 0..100 would carry one component into the next: clamp each.
  int cone[3];
  for (int i = 0; i < 3; ++i) {
    long long c = (long long)rgb[i] * s / 100;
    cone[i] = c < 0 ? 0 : c > 255 ? 255 : int(c);
  }
  const int coneColour = orNone(cone[0] + 256 * cone[1] + 65536 * cone[2]);
  draw(spotColour, coneColour);
}

void Beam::evaluateColour(int rgb[3]) const {
  const long long level = truncValue(colour->intensity);
  for (int i = 0; i < 3; ++i) {
    long long c = (long long)truncValue(colour->rgbo[i]) * level / 255;
    // Components stay within what a colour number can carry.
    rgb[i] = int(c < 0 ? 0 : c > 255 ? 255 : c);
  }
  const ColorLookup* table = colorLookup();
  if (!table) return;
  for (const Value* f : colour->filters) {
    if (!f->dmxEnabled) continue;
    int entry[3];
    table->colorRgb(truncValue(f), entry);
    for (int i = 0; i < 3; ++i) rgb[i] = rgb[i] * entry[i] / 256;
  }
}

// ---------------------------------------------------------------- file

void Beam::load(Load& in) {
  const bool oldScales = values_.fileVersion < 5000;
  int highestGobo = -1;
  readSection(in, "Beam", {"color", "coneAngle", "aperture", "goboOrient", "goboIx"}, [&](int key) {
    switch (key) {
      case 0:
        // A colour section appends every filter after its first; starting from none leaves
        // exactly the filters written, whatever the personality gave the light before.
        if (!oldScales) colour->setFilterCount(0);
        colour->load(in);
        break;
      case 1:
        coneAngle->load(in);
        if (oldScales) fixOldScale(coneAngle, 0.1);
        break;
      case 2:
        aperture->load(in);
        if (oldScales) fixOldScale(aperture, 1 / 255.0);
        break;
      default: {
        int i = 0;
        if (in.tokenCount() > 1) in.intAt(1, i);
        if (i < 0 || i >= kMaxGobos) {
          logWarning("Gobo %d ignored: a beam has at most %d gobos", i, kMaxGobos);
          Value* scratch = values_.newValue();
          scratch->load(in);
          values_.removeValue(scratch);
          break;
        }
        while (goboCount() <= i) addGobo();
        if (i > highestGobo) highestGobo = i;
        Gobo& g = *gobos[size_t(i)];
        (key == 3 ? g.orientation : g.index)->load(in);
      }
    }
  });
  // Every gobo is written, so gobos beyond the last one read were not in the file.
  if (highestGobo >= 0) setGoboCount(highestGobo + 1);
}

void Beam::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  const std::string child = prefix + "  ";
  fprintf(f, "%sBeam\n", p);
  fprintf(f, "%s color\n", p);
  colour->save(f, child);
  fprintf(f, "%s coneAngle\n", p);
  coneAngle->save(f, child);
  fprintf(f, "%s aperture\n", p);
  aperture->save(f, child);
  for (int i = 0; i < goboCount(); ++i) {
    fprintf(f, "%s goboOrient %d\n", p, i);
    gobos[size_t(i)]->orientation->save(f, child);
    fprintf(f, "%s goboIx %d\n", p, i);
    gobos[size_t(i)]->index->save(f, child);
  }
}

}  // namespace lmv
