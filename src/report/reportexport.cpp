#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "base/runlog.h"
#include "base/text.h"
#include "geometry/beam.h"
#include "geometry/light.h"
#include "model/color.h"
#include "model/content.h"
#include "model/load.h"
#include "model/objectentry.h"
#include "model/objectlist.h"
#include "model/riser.h"
#include "model/theatre.h"
#include "model/truss.h"
#include "model/value.h"
#include "model/walls.h"
#include "platform/files.h"
#include "report/compass.h"
#include "report/report.h"
#include "report/reportrow.h"

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
void referencePoints(const ObjectList& list, Vec3 (&points)[4]) {
  const Riser* stage = list.stageObject ? list.stageObject : list.defaultRiser.get();
  const IVec3 p = stage->worldPositionInt();
  const IVec3 s = stage->getSize();
  const int64_t hx = s.x / 2, hy = s.y / 2, hz = s.z / 2;
  const double top = double(int64_t(p.y) + hy);
  const double x0 = double(p.x - hx), x1 = double(p.x + hx);
  const double z0 = double(p.z - hz), z1 = double(p.z + hz);
  points[0] = {x0, top, z0};
  points[1] = {x1, top, z0};
  points[2] = {x1, top, z1};
  points[3] = {x0, top, z1};
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

// Universe letter and channel of a dimmer on an absolute channel; both empty otherwise.
struct DimmerColumns {
  char letter[4] = "";
  char channel[16] = "";
};

DimmerColumns dimmerColumns(const Light& light) {
  DimmerColumns c;
  // The first VALUE spec, read without creating one.
  const DmxSpec* spec = light.beam->colour->intensity->specs.firstOfMode(ModeValue);
  if (!spec) return c;
  const int64_t d = int64_t(spec->start()) - 65536;
  if (d < 0) return c;
  formatInto(c.letter, sizeof c.letter, "%c", char('A' + d / 512));
  formatInto(c.channel, sizeof c.channel, "%lld", static_cast<long long>(d % 512 + 1));
  return c;
}

// A colour component as two hexadecimal digits: truncated, and held to 0..255 so that the
// column keeps its six digits.
unsigned colourByte(const Value* v) {
  const double c = v->currentValue();
  return c <= 0 ? 0u : c >= 255 ? 255u : unsigned(int(c));
}

void writeLightRow(FILE* f, const Light& light, const Vec3 (&points)[4]) {
  const PatchColumns c = patchColumns(light);
  const IVec3 p = light.worldPositionInt();
  const IVec3 a = light.worldOrientationInt();
  const IVec3 s = light.getSize();
  char compass[kCompassTextSize];
  compassText(a.y, compass);
  int aim[8];
  for (int k = 0; k < 4; ++k) {
    const PanTilt angles = light.aimAt(points[k]);
    // Only a mirror's failure has no angles; a head's failure values are converted as they are.
    if (angles.pan == -999 || angles.tilt == -999) {
      aim[2 * k] = aim[2 * k + 1] = -1;
    } else {
      aim[2 * k] = light.pan->rawForValue(angles.pan);
      aim[2 * k + 1] = light.tilt->rawForValue(angles.tilt);
    }
  }
  const DimmerColumns dimmer = dimmerColumns(light);
  const Beam& beam = *light.beam;
  const Color& colour = *beam.colour;
  char gobos[ReportRow::kFieldMax + 1] = "";
  size_t used = 0;
  for (int i = 0; i < beam.goboCount() && used < sizeof gobos - 1; ++i) {
    const int n = formatInto(gobos + used, sizeof gobos - used, "%d:%d;", beam.goboIndex(i),
                             beam.goboOrientation(i));
    if (n < 0) break;
    used += size_t(n);
  }
  fprintf(f,
          "%d,%s,%c,%s,%s,%d,%d,%d,%d,%s,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%s,%s,%02x%02x%02x,%f,"
          "%f,%f,%s\n",
          light.fixtureHandle, light.personality.c_str(), c.letter, c.start, c.end, p.x, p.y, p.z,
          a.z, compass, aim[0], aim[1], aim[2], aim[3], aim[4], aim[5], aim[6], aim[7], s.x, s.y,
          s.z, a.x, dimmer.letter, dimmer.channel, colourByte(colour.rgbo[0]),
          colourByte(colour.rgbo[1]), colourByte(colour.rgbo[2]), beam.getConeAngle(),
          light.getPan(), light.getTilt(), gobos);
}

void writeReport(FILE* f, Theatre& theatre, const std::string& shownPath) {
  ObjectList& list = *theatre.content->objectList;
  fprintf(f, "Theatre,%s\n\n", shownPath.c_str());
  Vec3 points[4];
  referencePoints(list, points);
  fprintf(f, "Reference points,x1,y1,z1,x2,y2,z2,x3,y3,z3,x4,y4,z4\n");
  fprintf(f, ",%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf,%.0lf\n\n",
          points[0].x, points[0].y, points[0].z, points[1].x, points[1].y, points[1].z, points[2].x,
          points[2].y, points[2].z, points[3].x, points[3].y, points[3].z);
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
    } else if (o.isLight()) {
      if (const Light* l = dynamic_cast<const Light*>(&o)) writeLightRow(f, *l, points);
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
