#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include <strings.h>

#include "base/runlog.h"
#include "base/text.h"
#include "fixtures/fixtureentry.h"
#include "fixtures/fixturelist.h"
#include "geometry/beam.h"
#include "geometry/light.h"
#include "geometry/mhlight.h"
#include "geometry/mmlight.h"
#include "model/color.h"
#include "model/content.h"
#include "model/load.h"
#include "model/objectentry.h"
#include "model/objectlist.h"
#include "model/riser.h"
#include "model/theatre.h"
#include "model/truss.h"
#include "model/undo.h"
#include "model/value.h"
#include "model/walls.h"
#include "report/compass.h"
#include "report/report.h"
#include "report/reportrow.h"

namespace lmv {

namespace {

// Longest line read; longer ones are skipped whole.
constexpr int kLineMax = 198;

// What the common columns of a row say.
struct RowData {
  int handle = -1;
  char type[ReportRow::kFieldMax + 1] = "";
  bool addNew = false;  // the type began with "+"
  int base = -1;
  int count = 0;  // what the patch columns span; objects keep their own channel count
  IVec3 position{-1, -1, -1};
  bool positionGiven = false;
  IVec3 size{-1, -1, -1};
  bool sizeGiven = false;
  IVec3 orientation;
};

class ReportImport {
 public:
  explicit ReportImport(Theatre& t) : theatre(t), list(*t.content->objectList) {}

  void run(FILE* f);

 private:
  // One physical line into line, its end-of-line removed; false at the end of the file.
  // tooLong: the line had more than kLineMax characters (the rest of it has been skipped).
  bool readLine(FILE* f, bool& tooLong);
  void beforeHeader();
  void row();
  void readCommonColumns(RowData& d);
  ObjectEntry* findObject(const RowData& d) const;
  void riserRow(const RowData& d, ObjectEntry* found);
  void trussRow(const RowData& d, ObjectEntry* found);
  void lightRow(const RowData& d, ObjectEntry* found);
  // The light for a row that names none: a new one of the personality's kind, unpatched.
  Light* newLight(const char* personality);
  // Sets a new light without a position where the next free place in the rig is.
  void placeNewLight(Light& light, const IVec3& size);
  void lightDimmer(Light& light);
  void lightBeam(Light& light);
  void place(Riser& r, const RowData& d);
  // Field n as "%d": fallback when it gives no number (a non-empty such field is logged).
  int number(int n, int fallback, bool* given = nullptr);

  Theatre& theatre;
  ObjectList& list;
  char line[kLineMax + 3] = "";  // room for the "\r" of a line ended by "\r\n"
  int lineNumber = 0;
  bool dimensions = false;
  bool rows = false;
  ReportRow fields;
};

bool ReportImport::readLine(FILE* f, bool& tooLong) {
  tooLong = false;
  size_t len = 0;
  int c = fgetc(f);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = fgetc(f)) {
    if (len < sizeof line - 1)
      line[len++] = char(c);
    else
      tooLong = true;
  }
  line[len] = '\0';
  if (len > 0 && line[len - 1] == '\r') line[--len] = '\0';
  if (len > size_t(kLineMax)) tooLong = true;
  return true;
}

void ReportImport::run(FILE* f) {
  bool tooLong = false;
  while (readLine(f, tooLong)) {
    ++lineNumber;
    if (tooLong) {
      // Before the rows only the box size is read, and no line of it is that long.
      if (rows)
        logWarning("Report line %d is longer than %d characters and is ignored", lineNumber,
                   kLineMax);
      continue;
    }
    if (!rows) {
      beforeHeader();
      continue;
    }
    if (line[0] == '\0') continue;
    try {
      row();
    } catch (const std::exception& e) {
      logError("Exception:%s,line%d:%s", "areport", __LINE__, e.what());
    }
  }
}

void ReportImport::beforeHeader() {
  if (strncasecmp(line, "Theatre dimensions", 18) == 0) {
    dimensions = true;
  } else if (strncasecmp(line, "Handle", 6) == 0) {
    rows = true;
  } else if (dimensions && line[0] == ',') {
    int w = 0, h = 0, d = 0;
    if (!fields.split(line) || !fields.intField(2, w) || !fields.intField(3, h) ||
        !fields.intField(4, d))
      return;
    if (w <= 0 || h <= 0 || d <= 0) {
      logWarning("Report line %d: theatre dimensions %d, %d, %d are not all positive", lineNumber,
                 w, h, d);
      return;
    }
    theatre.walls->setSize(w, h, d);
  }
}

int ReportImport::number(int n, int fallback, bool* given) {
  int v = 0;
  const bool ok = fields.intField(n, v);
  if (given) *given = ok;
  if (ok) return v;
  if (!fields.empty(n))
    logWarning("Report line %d: field %d <%s> is not a number", lineNumber, n, fields.field(n));
  return fallback;
}

void ReportImport::readCommonColumns(RowData& d) {
  d.handle = number(1, -1);
  const char* type = fields.field(2);
  d.addNew = type[0] == '+';
  copyInto(d.type, sizeof d.type, d.addNew ? type + 1 : type);

  d.base = -1;
  d.count = 0;
  if (!fields.empty(3) && !fields.empty(4) && !fields.empty(5)) {
    int u = 0, s = 0, e = 0;
    if (!fields.intField(3, u)) u = fields.field(3)[0] - 'A';
    const bool channels = fields.intField(4, s) && fields.intField(5, e);
    const int64_t base = int64_t(u) * 512 + (int64_t(s) - 1);
    if (channels && base >= 0 && base <= INT32_MAX) {
      d.base = int(base);
      d.count = int(int64_t(e) - int64_t(s) + 1);
    } else {
      logWarning("Report line %d: DMX patch <%s,%s,%s> is not a channel; left unpatched",
                 lineNumber, fields.field(3), fields.field(4), fields.field(5));
    }
  }

  bool gx = false, gy = false, gz = false;
  d.position = {number(6, -1, &gx), number(7, -1, &gy), number(8, -1, &gz)};
  d.positionGiven = gx && gy && gz;
  d.size = {number(19, -1, &gx), number(20, -1, &gy), number(21, -1, &gz)};
  d.sizeGiven = gx && gy && gz;

  bool understood = true;
  d.orientation.x = number(22, 0);
  d.orientation.y = compassAngle(fields.field(10), &understood);
  if (!understood)
    logWarning("Report line %d: field 10 <%s> is no angle", lineNumber, fields.field(10));
  d.orientation.z = number(9, 0);
}

ObjectEntry* ReportImport::findObject(const RowData& d) const {
  if (d.addNew) return nullptr;
  const auto& objects = list.objects();
  if (d.handle >= 0) {
    for (const auto& o : objects)
      if (o->isReal() && o->fixtureHandle == d.handle) return o.get();
    return nullptr;
  }
  if (d.base >= 0)
    for (const auto& o : objects)
      if (o->isReal() && o->dmxBase == d.base) return o.get();
  if (!d.sizeGiven) return nullptr;
  for (const auto& o : objects) {
    const Riser* r = o->asRiser();
    if (!o->isReal() || !r) continue;
    const IVec3 p = r->worldPositionInt();
    const IVec3 s = r->getSize();
    if (p.x == d.position.x && p.y == d.position.y && p.z == d.position.z && s.x == d.size.x &&
        s.y == d.size.y && s.z == d.size.z)
      return o.get();
  }
  return nullptr;
}

void ReportImport::row() {
  if (!fields.split(line)) {
    logWarning("Report line %d: field %d is longer than %d characters; the row is ignored",
               lineNumber, fields.tooLongField, ReportRow::kFieldMax);
    return;
  }
  RowData d;
  readCommonColumns(d);
  ObjectEntry* found = findObject(d);
  // A row whose type does not fit the kind of the object it names is ignored.
  if (equalsNoCase(d.type, "Riser")) {
    if (!found || found->typeLetter == 'r') riserRow(d, found);
  } else if (equalsNoCase(d.type, "Truss")) {
    if (!found || found->typeLetter == 't') trussRow(d, found);
  } else if (!found || found->isLight()) {
    lightRow(d, found);
  }
}

void ReportImport::place(Riser& r, const RowData& d) {
  if (d.handle >= 0) r.fixtureHandle = d.handle;
  r.setWorldPosition(d.position.x, d.position.y, d.position.z);
  r.setSize(d.size.x, d.size.y, d.size.z);
  r.setWorldOrientation(d.orientation.x, d.orientation.y, d.orientation.z);
}

void ReportImport::riserRow(const RowData& d, ObjectEntry* found) {
  Riser* r = found ? found->asRiser() : list.newRiser();
  if (!r) return;
  place(*r, d);
  if (d.base >= 0)
    r->setPatch(d.base);
  else
    r->disablePatch();
}

void ReportImport::trussRow(const RowData& d, ObjectEntry* found) {
  Truss* t = found ? dynamic_cast<Truss*>(found) : list.newTruss();
  if (!t) return;
  place(*t, d);
  int origin = 0;
  if (fields.intField(23, origin))
    t->origin = origin;
  else if (!fields.empty(23))
    logWarning("Report line %d: field 23 <%s> is not a number", lineNumber, fields.field(23));
  if (d.base >= 0)
    t->setPatch(d.base);
  else
    t->disablePatch();
}

Light* ReportImport::newLight(const char* personality) {
  FixtureList* fixtures = list.fixtures;
  // An empty name is no personality; it is not looked up (which would remember it).
  if (!fixtures || !*personality) return nullptr;
  const FixtureEntry* entry = fixtures->findEntry(personality);
  if (!entry) return nullptr;
  if (entry->kind() == 'm')
    return static_cast<Light*>(list.addFromDefault(std::make_unique<MMLight>(list, false),
                                                   list.defaultMMLight.get(), 'm'));
  return static_cast<Light*>(
      list.addFromDefault(std::make_unique<MHLight>(list, false), list.defaultMHLight.get(), 'h'));
}

void ReportImport::placeNewLight(Light& light, const IVec3& size) {
  // Wide arithmetic and a clamp on the way back: sizes come from the file.
  auto clamp = [](int64_t v) {
    return int(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  };
  const IVec3 start = list.defaultMHLight->worldPositionInt();
  int64_t x = start.x, y = start.y, z = start.z;
  if (size.x > x || size.z > z) {
    x = size.x;
    z = 3 * int64_t(size.z);
  }
  light.setWorldPosition(clamp(x), clamp(y), clamp(z));
  const IVec3 box = list.wallSize();
  x += 2 * int64_t(size.x);
  if (x >= box.x) {
    x = size.x;
    z += 4 * int64_t(size.z);
    if (z >= box.z) {
      z = 3 * int64_t(size.z);
      y -= 2 * int64_t(size.y);
    }
  }
  list.defaultMHLight->setWorldPosition(clamp(x), clamp(y), clamp(z));
  list.defaultMMLight->setWorldPosition(clamp(x), clamp(y), clamp(z));
}

void ReportImport::lightDimmer(Light& light) {
  const char c = fields.field(23)[0];
  int64_t u = 0;
  int ch = 0;
  if (c >= 'A' && c <= 'L') {
    u = c - 'A';
    ch = number(24, 0);
  }
  const int64_t channel = 512 * u + ch - 1;
  if (channel < 0) return;
  if (channel > INT32_MAX - 65536) {
    logWarning("Report line %d: dimmer channel <%s,%s> is out of range", lineNumber,
               fields.field(23), fields.field(24));
    return;
  }
  light.beam->colour->intensity->setDmxOffset(65536 + int(channel));
}

void ReportImport::lightBeam(Light& light) {
  Beam& beam = *light.beam;
  unsigned rgb[3];
  if (sscanf(fields.field(25), "%02x%02x%02x", &rgb[0], &rgb[1], &rgb[2]) == 3) {
    for (int i = 0; i < 3; ++i) beam.colour->rgbo[i]->setValue(double(rgb[i]));
  } else if (!fields.empty(25)) {
    logWarning("Report line %d: field 25 <%s> is no colour", lineNumber, fields.field(25));
  }

  double v = 0;
  if (fields.doubleField(26, v)) {
    if (v >= 0 && v <= 255) beam.setConeAngle(v);
  } else if (!fields.empty(26)) {
    logWarning("Report line %d: field 26 <%s> is not a number", lineNumber, fields.field(26));
  }
  if (fields.doubleField(27, v))
    light.setPan(v);
  else if (!fields.empty(27))
    logWarning("Report line %d: field 27 <%s> is not a number", lineNumber, fields.field(27));
  if (fields.doubleField(28, v))
    light.setTilt(v);
  else if (!fields.empty(28))
    logWarning("Report line %d: field 28 <%s> is not a number", lineNumber, fields.field(28));

  // "index:orientation;" per gobo, as many as the beam has.
  const char* rest = fields.field(29);
  for (int i = 0; i < beam.goboCount() && *rest; ++i) {
    int index = 0, orientation = 0;
    const char* at = rest;
    if (!parseInt(at, index, &at) || *at != ':' || !parseInt(at + 1, orientation, &at)) break;
    beam.setGoboIndex(i, index);
    beam.setGoboOrientation(i, orientation);
    const char* next = strchr(at, ';');
    if (!next) break;
    rest = next + 1;
  }
}

void ReportImport::lightRow(const RowData& d, ObjectEntry* found) {
  Light* light = found ? dynamic_cast<Light*>(found) : newLight(d.type);
  if (!light) return;
  if (d.handle >= 0) light->fixtureHandle = d.handle;
  if (light->personality != d.type) light->bindPersonality(d.type, false);
  IVec3 size = d.size;
  if (d.sizeGiven)
    light->setSize(size.x, size.y, size.z);
  else
    size = light->getSize();
  if (d.positionGiven)
    light->setWorldPosition(d.position.x, d.position.y, d.position.z);
  else if (!found)
    placeNewLight(*light, size);
  light->setWorldOrientation(d.orientation.x, d.orientation.y, d.orientation.z);
  lightDimmer(*light);
  lightBeam(*light);
  if (d.base >= 0)
    light->setPatch(d.base);
  else
    light->disablePatch();
}

}  // namespace

bool importReport(Theatre& theatre, const std::string& path) {
  FILE* f = openLogged(path, "rb");
  if (!f) {
    logError("Could not open report file <%s>", path.c_str());
    return false;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> closer(f, fclose);
  // The import is not undoable and is no modification: a fresh history that records nothing
  // until the import is over, and a busy theatre that counts no changes.
  theatre.undo = std::make_unique<Undo>(&theatre, theatre.valueList);
  theatre.busy = 1;
  try {
    ReportImport(theatre).run(f);
  } catch (const std::exception& e) {
    logError("Exception:%s,line%d:%s", "areport", __LINE__, e.what());
  }
  theatre.busy = 0;
  theatre.modificationCount = 0;
  theatre.undo->enableRecording();
  return true;
}

}  // namespace lmv
