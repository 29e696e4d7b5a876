// What one frame costs, by rig size (the benchmark argument: the number of risers, or of
// moving heads for the BM_Heads cases).
// The four phases of a real theatre of generated risers, measured separately, and the floor
// below them: the wireframes of a frame in four 800 x 600 panes, drawn
// (a) through QImageCanvas moveTo/lineTo as the draw phase will, and (b) as one QPainter
// drawLines call per pane, the least QPainter can take for those lines. A third case shows
// the Canvas calls alone on a surface that draws nothing, and a plain line loop of our own
// shows how far below QPainter the pixels themselves lie.
// The BM_Heads cases do the same for rigs of moving heads of a bundled personality with open
// gobos, their spots on the floor and the walls and their cones drawn: each phase alone, the
// three geometry phases together, the draw phase against the drawLines floor of the very
// segments it draws, and the whole frame; allocs/frame counts allocations inside the loop.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QGuiApplication>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPoint>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "geometry/draw.h"
#include "geometry/mhlight.h"
#include "geometry/polygonlist.h"
#include "geometry/projection.h"
#include "geometry/represent.h"
#include "model/content.h"
#include "model/objectentry.h"
#include "model/objectlist.h"
#include "model/riser.h"
#include "model/theatre.h"
#include "model/viewlist.h"
#include "model/walls.h"
#include "platform/canvas.h"
#include "platform/qt/qimagecanvas.h"
#include "platform/recordingcanvas.h"

// Every allocation of the process is counted, so that a case can report how many happen in
// the frame phases it measures (0 is the goal once a frame has been drawn).
namespace {
std::atomic<int64_t> allocations{0};
}  // namespace

void* operator new(std::size_t n) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

using namespace lmv;

namespace {

constexpr int kPanes = 4;
constexpr int kPaneWidth = 800;
constexpr int kPaneHeight = 600;
constexpr int kWhite = 0xFFFFFF;
constexpr int kRiserColor = 0xC0C0C0;

// One polygon as the draw phase hands it to a canvas: points already in pane pixels.
struct Polygon {
  int count = 0;
  bool closed = false;
  int color = 0;
  std::array<QPoint, 4> points;
};

// The projected wireframes of one frame: per pane the theatre box, then one box per riser;
// a box is two closed end faces and four open edges, 12 segments.
struct WireRig {
  std::array<std::vector<Polygon>, kPanes> panes;
  int segments = 0;
};

void addBox(std::vector<Polygon>& out, QPoint front, QPoint size, QPoint depth, int color) {
  std::array<QPoint, 4> near = {front, front + QPoint(size.x(), 0), front + size,
                                front + QPoint(0, size.y())};
  std::array<QPoint, 4> far;
  for (int i = 0; i < 4; ++i) far[i] = near[i] + depth;
  out.push_back({4, true, color, near});
  out.push_back({4, true, color, far});
  for (int i = 0; i < 4; ++i) out.push_back({2, false, color, {near[i], far[i]}});
}

WireRig makeWireRig(int risers) {
  WireRig rig;
  for (int p = 0; p < kPanes; ++p) {
    std::mt19937 rng(unsigned(risers * kPanes + p));
    std::uniform_int_distribution<int> x(0, kPaneWidth - 80), y(0, kPaneHeight - 80);
    std::uniform_int_distribution<int> size(8, 60), depth(-20, 20);
    auto& polys = rig.panes[p];
    addBox(polys, {40, 30}, {kPaneWidth - 120, kPaneHeight - 100}, {p * 10, p * 8}, kWhite);
    for (int i = 0; i < risers; ++i)
      addBox(polys, {x(rng), y(rng)}, {size(rng), size(rng)}, {depth(rng), depth(rng)},
             kRiserColor);
    for (const Polygon& poly : polys) rig.segments += poly.count - 1 + (poly.closed ? 1 : 0);
  }
  return rig;
}

std::array<std::vector<QLine>, kPanes> linesOf(const WireRig& rig) {
  std::array<std::vector<QLine>, kPanes> lines;
  for (int p = 0; p < kPanes; ++p)
    for (const Polygon& poly : rig.panes[p]) {
      for (int i = 1; i < poly.count; ++i)
        lines[p].emplace_back(poly.points[i - 1], poly.points[i]);
      if (poly.closed) lines[p].emplace_back(poly.points[poly.count - 1], poly.points[0]);
    }
  return lines;
}

void drawPolygons(Canvas& canvas, const std::vector<Polygon>& polys) {
  for (const Polygon& poly : polys) {
    canvas.setPenColor(poly.color);
    canvas.moveTo(poly.points[0].x(), poly.points[0].y());
    for (int i = 1; i < poly.count; ++i) canvas.lineTo(poly.points[i].x(), poly.points[i].y());
    if (poly.closed) canvas.lineTo(poly.points[0].x(), poly.points[0].y());
  }
}

void reportSegments(benchmark::State& state, const WireRig& rig) {
  state.counters["segments"] = rig.segments;
  state.SetItemsProcessed(int64_t(state.iterations()) * rig.segments);
}

// (a) Clear each pane, draw through the canvas, and finish the pictures as the frame loop
// does before copying them to the window.
void BM_RasterCanvas(benchmark::State& state) {
  WireRig rig = makeWireRig(int(state.range(0)));
  std::vector<std::unique_ptr<QImageCanvas>> canvases;
  for (int p = 0; p < kPanes; ++p)
    canvases.push_back(std::make_unique<QImageCanvas>(kPaneWidth, kPaneHeight));
  for (auto _ : state) {
    for (int p = 0; p < kPanes; ++p) {
      QImageCanvas& c = *canvases[p];
      c.clear(0);
      drawPolygons(c, rig.panes[p]);
      benchmark::DoNotOptimize(c.image().constBits());
    }
  }
  reportSegments(state, rig);
}

// Clears each pane and draws its segments in one drawLines call, per iteration.
void drawLinesLoop(benchmark::State& state, const std::array<std::vector<QLine>, kPanes>& lines) {
  std::vector<QImage> images(kPanes, QImage(kPaneWidth, kPaneHeight, QImage::Format_RGB32));
  for (auto _ : state) {
    for (int p = 0; p < kPanes; ++p) {
      QPainter painter(&images[p]);
      painter.fillRect(images[p].rect(), Qt::black);
      painter.setPen(QPen(QColor(192, 192, 192), 0));
      painter.drawLines(lines[p].data(), int(lines[p].size()));
      painter.end();
      benchmark::DoNotOptimize(images[p].constBits());
    }
  }
}

// (b) The same segments, prepared beforehand, in one drawLines call per pane in one colour.
void BM_RasterDrawLines(benchmark::State& state) {
  WireRig rig = makeWireRig(int(state.range(0)));
  std::array<std::vector<QLine>, kPanes> lines = linesOf(rig);
  drawLinesLoop(state, lines);
  reportSegments(state, rig);
}

// A reference below QPainter: a plain Bresenham loop writing the RGB32 pixels itself, with a
// bounds test per pixel. Tells how much of (b) is Qt's per-pixel machinery.
void plotLine(QImage& img, QLine l, uint32_t argb) {
  int x0 = l.x1(), y0 = l.y1(), x1 = l.x2(), y1 = l.y2();
  int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  uchar* bits = img.bits();
  const qsizetype stride = img.bytesPerLine();
  const int w = img.width(), h = img.height();
  for (;;) {
    if (unsigned(x0) < unsigned(w) && unsigned(y0) < unsigned(h))
      reinterpret_cast<uint32_t*>(bits + y0 * stride)[x0] = argb;
    if (x0 == x1 && y0 == y1) break;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void BM_RasterOwnLoop(benchmark::State& state) {
  WireRig rig = makeWireRig(int(state.range(0)));
  std::array<std::vector<QLine>, kPanes> lines = linesOf(rig);
  std::vector<QImage> images(kPanes, QImage(kPaneWidth, kPaneHeight, QImage::Format_RGB32));
  for (auto _ : state) {
    for (int p = 0; p < kPanes; ++p) {
      images[p].fill(Qt::black);
      for (const QLine& l : lines[p]) plotLine(images[p], l, 0xFFC0C0C0u);
      benchmark::DoNotOptimize(images[p].constBits());
    }
  }
  reportSegments(state, rig);
}

// The Canvas interface alone: state changes, moves and one virtual call per segment.
class NullCanvas : public Canvas {
 public:
  NullCanvas() { setExtent(kPaneWidth, kPaneHeight); }
  int64_t sum = 0;

 protected:
  void drawLine(int x0, int y0, int x1, int y1) override { sum += x0 + y0 + x1 + y1; }
  void drawRectangle(int, int, int, int) override {}
  void fillRectangle(int, int, int, int) override {}
  void drawText(int, int, std::string_view) override {}
  void clearAll(int) override {}
};

void BM_CanvasCallsOnly(benchmark::State& state) {
  WireRig rig = makeWireRig(int(state.range(0)));
  std::array<NullCanvas, kPanes> canvases;
  for (auto _ : state) {
    for (int p = 0; p < kPanes; ++p) {
      Canvas* c = &canvases[p];
      benchmark::DoNotOptimize(c);  // hides the dynamic type: calls stay virtual
      drawPolygons(*c, rig.panes[p]);
    }
    benchmark::DoNotOptimize(canvases[0].sum);
  }
  reportSegments(state, rig);
}

// The bundled library, copied (the fixture index writes its cache into its folder) to a
// folder of this process that goes when the program ends.
struct LibraryCopy {
  LibraryCopy() {
    namespace fs = std::filesystem;
    root = fs::temp_directory_path() / ("lmvbench_" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    for (const char* sub : {"Personalities", "Extensions"})
      fs::copy(fs::path(LMV_SOURCE_DIR) / "data" / sub, root / sub, fs::copy_options::recursive);
  }
  ~LibraryCopy() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  std::string folder(const char* sub) const { return (root / sub).string() + "/"; }
  std::filesystem::path root;
};

const LibraryCopy& library() {
  static LibraryCopy copy;
  return copy;
}

// Allocations per iteration inside the measured loop.
struct AllocationCount {
  explicit AllocationCount(benchmark::State& s) : state(s), start(allocations.load()) {}
  ~AllocationCount() {
    state.counters["allocs/frame"] =
        double(allocations.load() - start) / double(state.iterations() ? state.iterations() : 1);
  }
  benchmark::State& state;
  int64_t start;
};

// Four 800 x 600 QImage panes in design mode around a 1200 x 500 x 900 theatre.
struct PaneTheatre {
  PaneTheatre(const std::string& fixtures, const std::string& extensions) {
    Canvas* raw[kPanes];
    for (int p = 0; p < kPanes; ++p) {
      canvases.push_back(std::make_unique<QImageCanvas>(kPaneWidth, kPaneHeight));
      raw[p] = canvases.back().get();
    }
    theatre = std::make_unique<Theatre>(raw, 0, fixtures, extensions);
    Theatre& t = *theatre;
    t.paneCount = kPanes;
    for (int p = 0; p < kPanes; ++p) {
      t.paneRects[p][0] = t.paneRects[p][1] = 0;
      t.paneRects[p][2] = kPaneWidth - 1;
      t.paneRects[p][3] = kPaneHeight - 1;
    }
    t.walls->setSize(1200, 500, 900);
  }
  void frame() {
    drawFrame(*theatre, 0);
    finish();
  }
  // The frame loop reads every picture before copying it to the window.
  void finish() {
    for (auto& c : canvases) benchmark::DoNotOptimize(c->image().constBits());
  }
  // The segments the draw phase draws, by pane, taken from a drawing into recording panes.
  std::array<std::vector<QLine>, kPanes> segments() {
    std::array<RecordingCanvas, kPanes> record;
    Theatre& t = *theatre;
    for (int p = 0; p < kPanes; ++p) t.paneCanvases[p] = &record[p];
    t.drawPhase();
    std::array<std::vector<QLine>, kPanes> lines;
    for (int p = 0; p < kPanes; ++p) {
      for (const Segment& s : record[p].segments()) lines[p].emplace_back(s.x1, s.y1, s.x2, s.y2);
      t.paneCanvases[p] = canvases[p].get();
    }
    return lines;
  }

  std::vector<std::unique_ptr<QImageCanvas>> canvases;
  std::unique_ptr<Theatre> theatre;
};

// Generated risers of many sizes, turned about y; one frame is drawn before measuring so
// that every representation exists.
struct RiserRig : PaneTheatre {
  explicit RiserRig(int risers) : PaneTheatre("", "") {
    Theatre& t = *theatre;
    std::mt19937 rng{unsigned(risers)};
    std::uniform_int_distribution<int> x(50, 1150), y(10, 450), z(50, 850), size(10, 120),
        turn(0, 359);
    ObjectList& objects = *t.content->objectList;
    for (int i = 0; i < risers; ++i) {
      Riser* r = objects.newRiser();
      r->setAutoButt(0);
      r->setSize(size(rng), size(rng), size(rng));
      r->setWorldPosition(x(rng), y(rng), z(rng));
      r->setWorldOrientation(0, turn(rng), 0);
    }
    frame();
  }
};

// Moving heads of a bundled personality with their gobos open, hung in the upper half of the
// box and pointed every way downwards, so that their spots fall on the floor and the walls
// and some reach a corner. One frame is drawn before measuring.
struct HeadRig : PaneTheatre {
  explicit HeadRig(int heads)
      : PaneTheatre(library().folder("Personalities"), library().folder("Extensions")) {
    Theatre& t = *theatre;
    std::mt19937 rng{unsigned(heads)};
    std::uniform_int_distribution<int> x(50, 1150), y(250, 480), z(50, 850), pan(-180, 180),
        tilt(-70, 70), cone(8, 25);
    ObjectList& objects = *t.content->objectList;
    for (int i = 0; i < heads; ++i) {
      MHLight* h = objects.newMHLight();
      h->bindPersonality("Orbit250", false);
      h->disablePatch();  // the angles below stay as set
      h->setAutoButt(0);
      h->setSize(30, 15, 15);
      h->setWorldOrientation(0, 0, 0);
      h->setWorldPosition(x(rng), y(rng), z(rng));
      h->setPan(pan(rng));
      h->setTilt(tilt(rng));
      h->beam->setConeAngle(cone(rng));
      for (int g = 0; g < h->beam->goboCount(); ++g) h->beam->setGoboIndex(g, 0);  // open
    }
    frame();
  }
};

// Each phase on its own, then the three geometry phases together as a frame runs them, the
// draw phase, its drawLines floor and the whole frame.
template <class Rig>
void BM_Build(benchmark::State& state) {
  Rig rig(int(state.range(0)));
  AllocationCount count(state);
  for (auto _ : state) rig.theatre->buildPhase();
}

template <class Rig>
void BM_Project(benchmark::State& state) {
  Rig rig(int(state.range(0)));
  AllocationCount count(state);
  for (auto _ : state) rig.theatre->projectPhase();
}

template <class Rig>
void BM_Fit(benchmark::State& state) {
  Rig rig(int(state.range(0)));
  AllocationCount count(state);
  for (auto _ : state) rig.theatre->fitPhase();
}

template <class Rig>
void BM_Geometry(benchmark::State& state) {
  Rig rig(int(state.range(0)));
  AllocationCount count(state);
  for (auto _ : state) {
    rig.theatre->buildPhase();
    rig.theatre->projectPhase();
    rig.theatre->fitPhase();
  }
}

template <class Rig>
void BM_Draw(benchmark::State& state) {
  Rig rig(int(state.range(0)));
  AllocationCount count(state);
  for (auto _ : state) {
    for (auto& c : rig.canvases) c->clear(0);
    rig.theatre->drawPhase();
    rig.finish();
  }
}

// The floor for the draw phase: the same segments in one drawLines call per pane.
template <class Rig>
void BM_DrawFloor(benchmark::State& state) {
  Rig rig(int(state.range(0)));
  std::array<std::vector<QLine>, kPanes> lines = rig.segments();
  int total = 0;
  for (auto& l : lines) total += int(l.size());
  drawLinesLoop(state, lines);
  state.counters["segments"] = total;
}

template <class Rig>
void BM_Frame(benchmark::State& state) {
  Rig rig(int(state.range(0)));
  for (auto _ : state) rig.frame();
}

void rigSizes(benchmark::internal::Benchmark* b) {
  b->ArgName("risers")->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_RasterCanvas)->Apply(rigSizes);
BENCHMARK(BM_RasterDrawLines)->Apply(rigSizes);
BENCHMARK(BM_RasterOwnLoop)->Apply(rigSizes);
BENCHMARK(BM_CanvasCallsOnly)->Apply(rigSizes);

void headCounts(benchmark::internal::Benchmark* b) {
  b->ArgName("heads")->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
}

#define LMV_RIG_BENCHMARKS(Rig, sizes)                 \
  BENCHMARK_TEMPLATE(BM_Build, Rig)->Apply(sizes);     \
  BENCHMARK_TEMPLATE(BM_Project, Rig)->Apply(sizes);   \
  BENCHMARK_TEMPLATE(BM_Fit, Rig)->Apply(sizes);       \
  BENCHMARK_TEMPLATE(BM_Geometry, Rig)->Apply(sizes);  \
  BENCHMARK_TEMPLATE(BM_Draw, Rig)->Apply(sizes);      \
  BENCHMARK_TEMPLATE(BM_DrawFloor, Rig)->Apply(sizes); \
  BENCHMARK_TEMPLATE(BM_Frame, Rig)->Apply(sizes)

LMV_RIG_BENCHMARKS(RiserRig, rigSizes);
LMV_RIG_BENCHMARKS(HeadRig, headCounts);

}  // namespace

// Painting into a QImage needs no display; text and later phases want a QGuiApplication.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
