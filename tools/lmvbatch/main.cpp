// lmvbatch: theatre files from scripts. Loads exactly as the main program does; exit codes:
// 0 success, 1 a theatre or report that could not be loaded or written, 2 usage and input
// errors.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "base/runlog.h"
#include "dmx/levels.h"
#include "geometry/draw.h"
#include "geometry/light.h"
#include "model/content.h"
#include "model/coordinates.h"
#include "model/document.h"
#include "model/globals.h"
#include "model/group.h"
#include "model/objectentry.h"
#include "model/objectlist.h"
#include "model/riser.h"
#include "model/theatre.h"
#include "model/value.h"
#include "model/viewentry.h"
#include "model/viewlist.h"
#include "model/walls.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/qt/pngfile.h"
#include "platform/qt/qimagecanvas.h"
#include "report/report.h"

using namespace lmv;

namespace {

const char* kUsage =
    "usage:\n"
    "  lmvbatch resave IN.ttr OUT.ttr\n"
    "  lmvbatch render IN.ttr OUT.png [--panes 1|4] [--size WxH] [--dmx LEVELS] [--time SECONDS]\n"
    "  lmvbatch dump IN.ttr [--dmx LEVELS] [--time SECONDS]\n"
    "  lmvbatch export-report IN.ttr OUT.csv [--dmx LEVELS]\n"
    "  lmvbatch import-report IN.csv OUT.ttr [--base BASE.ttr]\n"
    "common options: --fixtures DIR  --extensions DIR\n";

struct Options {
  std::string command;
  std::vector<std::string> files;
  std::string fixtures;
  std::string extensions;
  std::string levels;
  std::string base;  // import-report: the theatre the report is read into
  double time = 0;
  int panes = 4;
  int width = 800;
  int height = 600;
};

int usage(const char* problem) {
  fprintf(stderr, "lmvbatch: %s\n%s", problem, kUsage);
  return 2;
}

std::string asFolder(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

bool isReportCommand(const std::string& command) {
  return command == "export-report" || command == "import-report";
}

// Options that only the report commands take; 0 when they fit the command.
int checkReportOptions(const Options& o) {
  if (!o.base.empty() && o.command != "import-report")
    return usage("--base goes with import-report only");
  if (!o.levels.empty() && o.command == "import-report")
    return usage("--dmx does not go with import-report");
  return 0;
}

// While alive, the report's messages other than the file-opening ones go to standard error,
// so that scripts see which lines were skipped and why.
class ReportMessages {
 public:
  ReportMessages() {
    setStatusSink([](const char* text) {
      if (strncmp(text, "Reading file: ", 14) != 0 && strncmp(text, "Writing file: ", 14) != 0)
        fprintf(stderr, "lmvbatch: %s\n", text);
    });
  }
  ~ReportMessages() { setStatusSink(nullptr); }
  ReportMessages(const ReportMessages&) = delete;
  ReportMessages& operator=(const ReportMessages&) = delete;
};

// export-report: the loaded theatre (with its levels applied) as a report.
int exportReportCommand(Theatre& theatre, const Options& o) {
  ReportMessages messages;
  return exportReport(theatre, o.files[1]) ? 0 : 1;
}

// import-report: the report read into the --base theatre, or into a new one as the main
// program builds it without a file, then saved.
int importReportCommand(const Options& o, const TheatreSetup& setup) {
  std::unique_ptr<Theatre> theatre;
  if (!o.base.empty()) {
    if (!loadTheatreFile(o.base, setup, theatre)) {
      fprintf(stderr, "Could not load <%s>\n", o.base.c_str());
      return 1;
    }
  } else {
    theatre = std::make_unique<Theatre>(setup.paneCanvases, setup.autoCenterObject,
                                        setup.fixtureFolder, setup.extensionsFolder);
  }
  {
    ReportMessages messages;
    if (!importReport(*theatre, o.files[0])) return 1;
  }
  if (!theatre->save(o.files[1])) {
    fprintf(stderr, "Could not save %s\n", o.files[1].c_str());
    return 1;
  }
  return 0;
}

// Returns 0 when the options are usable, else the exit code already reported.
int parse(int argc, char** argv, Options& o) {
  if (argc < 2) return usage("no command");
  o.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--fixtures" || a == "--extensions" || a == "--dmx") {
      if (!next(v)) return usage(("missing value for " + a).c_str());
      (a == "--fixtures" ? o.fixtures : a == "--extensions" ? o.extensions : o.levels) = v;
    } else if (a == "--base") {
      if (!next(v)) return usage("missing value for --base");
      o.base = v;
    } else if (a == "--time") {
      char* end = nullptr;
      if (!next(v) || (o.time = strtod(v.c_str(), &end), *end) || o.time < 0)
        return usage("--time takes seconds from 0");
    } else if (a == "--panes") {
      if (!next(v) || (v != "1" && v != "4")) return usage("--panes takes 1 or 4");
      o.panes = v[0] - '0';
    } else if (a == "--size") {
      int w = 0, h = 0;
      char tail = 0;
      if (!next(v) || sscanf(v.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 16 || h < 16 ||
          w > 8192 || h > 8192)
        return usage("--size takes WxH, each 16..8192");
      o.width = w;
      o.height = h;
    } else if (!a.empty() && a[0] == '-') {
      return usage(("unknown option " + a).c_str());
    } else {
      o.files.push_back(a);
    }
  }
  size_t need = o.command == "dump" ? 1 : 2;
  if (int rc = checkReportOptions(o)) return rc;
  if (o.command != "resave" && o.command != "render" && o.command != "dump" &&
      !isReportCommand(o.command))
    return usage(("unknown command " + o.command).c_str());
  if (o.files.size() != need) return usage("wrong number of files");
  return 0;
}

// Writes the levels into the DMX buffer and decodes every value once at the given time.
int applyLevels(Theatre& t, const Options& o) {
  if (!o.levels.empty()) {
    LevelsResult levels = readLevelsFile(o.levels);
    if (!levels.ok) {
      fprintf(stderr, "lmvbatch: %s: %s\n", o.levels.c_str(), levels.error.c_str());
      return 2;
    }
    int highest = 0;
    for (const Level& l : levels.levels)
      highest = l.channel + 1 > highest ? l.channel + 1 : highest;
    if (highest > t.dmxBufferSize) t.resizeDmxBuffer((highest + 511) / 512 * 512);
    for (const Level& l : levels.levels) t.dmxBuffer[size_t(l.channel)] = uint8_t(l.value);
  }
  ManualClock clock;
  clock.set(int64_t(o.time * 1000 + 0.5));
  t.valueList.setClock(&clock);
  t.valueList.update();
  t.valueList.setClock(nullptr);
  return 0;
}

// "%.3f" of -0.0 prints a sign; adding zero makes it plain 0 for stable output.
double plain(double v) {
  return v + 0.0;
}

void dumpObjects(const ObjectList& objects) {
  for (const auto& holder : objects.objects()) {
    const ObjectEntry& o = *holder;
    Vec3 p = o.worldPosition();
    Vec3 a = o.worldOrientation();
    double size[3] = {0, 0, 0};
    if (const Riser* r = o.asRiser()) r->size->get(size);
    printf(
        "object %d %c handle %d dmx %d %d pos %.3f %.3f %.3f orient %.3f %.3f %.3f "
        "size %.3f %.3f %.3f group %d\n",
        objects.indexOf(&o), o.typeLetter, o.fixtureHandle, o.dmxBase, o.channelCount, plain(p.x),
        plain(p.y), plain(p.z), plain(a.x), plain(a.y), plain(a.z), plain(size[0]), plain(size[1]),
        plain(size[2]), o.parentGroup ? objects.indexOf(o.parentGroup) : -1);
  }
}

void dumpView(const char* index, const ViewEntry& v) {
  double p[3], a[3];
  v.posn->get(p);
  v.orient->get(a);
  printf("view %s \"%s\" %c pos %.3f %.3f %.3f orient %.3f %.3f %.3f\n", index, v.name.c_str(),
         v.viewType, plain(p[0]), plain(p[1]), plain(p[2]), plain(a[0]), plain(a[1]), plain(a[2]));
}

// Each light with its decoded angles, beam and colour, then its spot outlines, as the build
// phase of a frame leaves them.
void dumpLights(Theatre& t) {
  t.buildPhase();
  const ObjectList& objects = *t.content->objectList;
  for (const auto& holder : objects.objects()) {
    const auto* light = dynamic_cast<const Light*>(holder.get());
    if (!light) continue;
    const int index = objects.indexOf(light);
    const Beam& beam = *light->beam;
    int rgb[3];
    beam.evaluateColour(rgb);
    printf(
        "light %d personality \"%s\" pan %.3f tilt %.3f cone %.3f aperture %.3f colour %d %d %d "
        "origin %.3f %.3f %.3f\n",
        index, light->personality.c_str(), plain(light->getPan()), plain(light->getTilt()),
        plain(beam.getConeAngle()), plain(beam.getAperture()), rgb[0], rgb[1], rgb[2],
        plain(beam.origin.x), plain(beam.origin.y), plain(beam.origin.z));
    if (!beam.hasRays()) continue;  // its outlines are not shown
    for (int p = 0; p < beam.spots.count(); ++p) {
      const SpotPoly& poly = beam.spots.poly(p);
      printf("spot %d face %d %d", index, poly.face, poly.vertexCount());
      for (int i = 0; i < poly.vertexCount(); ++i) {
        const Vec3& v = poly.vertex(i).point;
        printf(" %.3f %.3f %.3f", plain(v.x), plain(v.y), plain(v.z));
      }
      printf("\n");
    }
  }
}

void dump(Theatre& t) {
  double box[3];
  t.walls->size->get(box);
  printf("theatre %.3f %.3f %.3f smoke %.3f spot %d cone %d\n", box[0], box[1], box[2],
         t.globals->smoke->currentValue(), t.globals->spots(), t.globals->cones());
  dumpObjects(*t.content->objectList);
  dumpLights(t);
  const ViewList& views = *t.viewList;
  for (int i = 0; i < views.entryCount(); ++i) dumpView(std::to_string(i).c_str(), *views.entry(i));
  if (views.currentView) dumpView("current", *views.currentView);
}

// Lays the panes out as the main window does in each mode (run: one pane; design: plan,
// side / front, perspective in a two-by-two grid) and writes the PNG.
int render(Theatre& t, std::vector<std::unique_ptr<QImageCanvas>>& canvases, const Options& o) {
  t.paneCount = o.panes;
  for (int i = 0; i < o.panes; ++i) {
    int* r = t.paneRects[i];
    r[0] = 0;
    r[1] = 0;
    r[2] = o.width - 1;
    r[3] = o.height - 1;
  }
  drawFrame(t, 0x000000);
  QImage out(o.panes == 1 ? o.width : 2 * o.width, o.panes == 1 ? o.height : 2 * o.height,
             QImage::Format_RGB32);
  out.fill(Qt::black);
  {
    QPainter painter(&out);
    for (int i = 0; i < o.panes; ++i)
      painter.drawImage((i % 2) * o.width, (i / 2) * o.height, canvases[size_t(i)]->image());
  }
  std::string error;
  if (!savePng(out, o.files[1], &error)) {
    fprintf(stderr, "lmvbatch: could not write %s: %s\n", o.files[1].c_str(), error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int runBatch(int argc, char** argv) {
  Options o;
  if (int rc = parse(argc, argv, o)) return rc;
  std::vector<std::unique_ptr<QImageCanvas>> canvases;
  Canvas* panes[4] = {};
  std::unique_ptr<QGuiApplication> app;
  int qtArgc = 1;
  if (o.command == "render") {
    // Text needs fonts, which need a GUI application; no display is used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(qtArgc, argv);
    for (int i = 0; i < o.panes; ++i) {
      canvases.push_back(std::make_unique<QImageCanvas>(o.width, o.height));
      panes[i] = canvases.back().get();
    }
  }
  ProgramFolders folders = defaultFolders(programFolder());
  TheatreSetup setup;
  setup.fixtureFolder = o.fixtures.empty() ? folders.fixtures : asFolder(o.fixtures);
  setup.extensionsFolder = o.extensions.empty() ? folders.extensions : asFolder(o.extensions);
  setup.paneCanvases = panes;

  if (o.command == "import-report") return importReportCommand(o, setup);

  std::unique_ptr<Theatre> theatre;
  if (!loadTheatreFile(o.files[0], setup, theatre)) {
    fprintf(stderr, "Could not load <%s>\n", o.files[0].c_str());
    return 1;
  }
  if (o.command == "resave") {
    if (!theatre->save(o.files[1])) {
      fprintf(stderr, "Could not save %s\n", o.files[1].c_str());
      return 1;
    }
    return 0;
  }
  if (int rc = applyLevels(*theatre, o)) return rc;
  if (o.command == "export-report") return exportReportCommand(*theatre, o);
  if (o.command == "dump") {
    dump(*theatre);
    return 0;
  }
  return render(*theatre, canvases, o);
}

// Nothing escapes as a crash: an exception ends the run with a message and exit code 1.
int main(int argc, char** argv) {
  try {
    return runBatch(argc, argv);
  } catch (const std::exception& e) {
    fprintf(stderr, "lmvbatch: Exception:%s\n", e.what());
  } catch (...) {
    fprintf(stderr, "lmvbatch: Exception:unknown\n");
  }
  return 1;
}
