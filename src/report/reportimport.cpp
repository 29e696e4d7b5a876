#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include <strings.h>

#include "base/runlog.h"
#include "base/text.h"
#include "model/content.h"
#include "model/load.h"
#include "model/objectentry.h"
#include "model/objectlist.h"
#include "model/riser.h"
#include "model/theatre.h"
#include "model/truss.h"
#include "model/undo.h"
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
  int count = 0;
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
