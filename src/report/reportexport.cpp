#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "base/runlog.h"
#include "base/text.h"
#include "model/content.h"
#include "model/load.h"
#include "model/objectentry.h"
#include "model/objectlist.h"
#include "model/riser.h"
#include "model/theatre.h"
#include "model/truss.h"
#include "model/walls.h"
#include "platform/files.h"
#include "report/compass.h"
#include "report/report.h"

namespace lmv {

namespace {

// Universe letter with first and last channel counted from 1; a blank letter and empty
// channels when the object is not patched.
struct PatchColumns {
  char letter = ' ';
  char start[16] = "";
  char end[16] = "";
};

PatchColumns patchColumns(const ObjectEntry& o) {
  PatchColumns c;
  const int64_t b = o.dmxBase;
  if (b < 0) return c;
  const int64_t u = b / 512;
  const int64_t start = b - 512 * u + 1;
  c.letter = char('A' + u);
  formatInto(c.start, sizeof c.start, "%lld", static_cast<long long>(start));
  formatInto(c.end, sizeof c.end, "%lld", static_cast<long long>(start + o.channelCount - 1));
  return c;
}

// The four top corners of the stage object, or of the default riser without one.
void writeReferencePoints(FILE* f, const ObjectList& list) {
  const Riser* stage = list.stageObject ? list.stageObject : list.defaultRiser.get();
  const IVec3 p = stage->worldPositionInt();
  const IVec3 s = stage->getSize();
  const int64_t hx = s.x / 2, hy = s.y / 2, hz = s.z / 2;
  const int64_t top = int64_t(p.y) + hy;
  const int64_t x0 = p.x - hx, x1 = p.x + hx, z0 = p.z - hz, z1 = p.z + hz;
  fprintf(f, "Reference points,x1,y1,z1,x2,y2,z2,x3,y3,z3,x4,y4,z4\n");
  fprintf(f, ",%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf\n\n",
          double(x0), double(top), double(z0), double(x1), double(top), double(z0), double(x1),
          double(top), double(z1), double(x0), double(top), double(z1));
}

void writeRiserRow(FILE* f, const Riser& r) {
  const PatchColumns c = patchColumns(r);
  const IVec3 p = r.worldPositionInt();
  const IVec3 a = r.worldOrientationInt();
  const IVec3 s = r.getSize();
  fprintf(f, "%d,Riser,%c,%s,%s,%d,%d,%d,%d,%d,,,,,,,,,%d,%d,%d,%d\n", r.fixtureHandle, c.letter,
          c.start, c.end, p.x, p.y, p.z, a.z, a.y, s.x, s.y, s.z, a.x);
}

void writeTrussRow(FILE* f, const Truss& t) {
  const PatchColumns c = patchColumns(t);
  const IVec3 p = t.worldPositionInt();
  const IVec3 a = t.worldOrientationInt();
  const IVec3 s = t.getSize();
  fprintf(f, "%d,Truss,%c,%s,%s,%d,%d,%d,%d,%d,,,,,,,,,%d,%d,%d,%d,%d\n", t.fixtureHandle, c.letter,
          c.start, c.end, p.x, p.y, p.z, a.z, a.y, s.x, s.y, s.z, a.x, t.origin);
}

void writeReport(FILE* f, Theatre& theatre, const std::string& shownPath) {
  ObjectList& list = *theatre.content->objectList;
  fprintf(f, "Theatre,%s\n\n", shownPath.c_str());
  writeReferencePoints(f, list);
  int box[3];
  theatre.walls->getSize(box);
  fprintf(f, "Theatre dimensions, Length, Height, Depth\n");
  fprintf(f, ",%d,%d,%d\n\n", box[0], box[1], box[2]);
  fprintf(f,
          "Handle,Fixture type,DMX line,start chan,end chan,Location x,y,z,Orientation,Angle to "
          "stage,pan1,tilt1,pan2,tilt2,pan3,tilt3,pan4,tilt4,sizX,sizY,sizZ,oriX,extensions\n");
  for (const auto& holder : list.objects()) {
    const ObjectEntry& o = *holder;
    if (o.typeLetter == 'r') {
      if (const Riser* r = o.asRiser()) writeRiserRow(f, *r);
    } else if (o.typeLetter == 't') {
      if (const Truss* t = dynamic_cast<const Truss*>(&o)) writeTrussRow(f, *t);
    }
  }
}

}  // namespace

bool exportReport(Theatre& theatre, const std::string& path) {
  try {
    std::unique_ptr<AtomicFile> out = openLoggedAtomic(path);
    if (!out) {
      logError("Could not open report file <%s>", path.c_str());
      return false;
    }
    // The first line names the report itself with its full path.
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    writeReport(out->stream(), theatre, ec ? path : full.string());
    if (!out->commit()) {
      logError("Could not open report file <%s>", path.c_str());
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    logError("Exception:%s,line%d:%s", "areport", __LINE__, e.what());
  }
  return false;
}

}  // namespace lmv
