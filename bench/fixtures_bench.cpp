// Start-up cost of the fixture index (from its cache and by header scan of 5000 personality
// files) and the first-use full load of one personality with its extension files.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "fixtures/colortable.h"
#include "fixtures/fixtureentry.h"
#include "fixtures/fixturelist.h"
#include "fixtures/gobolist.h"

namespace fs = std::filesystem;
using namespace lmv;

namespace {

constexpr int kFixtures = 5000;

// A folder of generated personalities, shaped like the bundled 18-channel spot.
class Generated {
 public:
  Generated() {
    root = fs::temp_directory_path() / ("lmv_fxbench_" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "Personalities");
    fs::copy(fs::path(LMV_SOURCE_DIR) / "data" / "Extensions", root / "Extensions");
    for (int i = 0; i < kFixtures; ++i) {
      char name[64];
      snprintf(name, sizeof name, "gen%05d.r20", i);
      FILE* f = fopen((root / "Personalities" / name).c_str(), "w");
      fprintf(f, "// generated\nDEVICE Gen%05d\nNAME \"Bench\" \"Spot %d\"\nTYPE 1 18\n", i, i);
      fprintf(f, "MIRROR 0 540 270\nDMX\n");
      const char* letters = "E0F0UHOANIKJMPLQGS";
      for (int c = 0; c < 18; ++c)
        fprintf(f, "CHAN %d %c %d 0 -- %c 0 \"%s\" 0 0 0\n", c + 1, c == 0 || c == 2 ? 'S' : 'B',
                c + 1, letters[c],
                c == 1   ? "Pan Low"
                : c == 3 ? "Tilt Low"
                         : "Channel");
      fprintf(f, "END\n");
      fclose(f);
    }
  }
  ~Generated() { fs::remove_all(root); }
  std::string personalities() const { return (root / "Personalities").string() + "/"; }
  std::string extensions() const { return (root / "Extensions").string() + "/"; }

  fs::path root;
};

Generated& generated() {
  static Generated g;
  return g;
}

struct Libraries {
  Libraries(const std::string& extensions) {
    gobos.loadGobos(extensions);
    colours.loadColours(extensions);
  }
  GoboList gobos;
  ColorTable colours;
};

void BM_IndexFromCache(benchmark::State& state) {
  Generated& g = generated();
  Libraries libs(g.extensions());
  {
    FixtureList first(&libs.gobos, &libs.colours);
    first.scan(g.personalities(), g.extensions());  // writes a fresh cache
  }
  for (auto _ : state) {
    FixtureList list(&libs.gobos, &libs.colours);
    list.scan(g.personalities(), g.extensions());
    if (list.entryCount() != kFixtures + 2) state.SkipWithError("cache not used");
  }
}
BENCHMARK(BM_IndexFromCache)->Unit(benchmark::kMillisecond);

void BM_IndexByHeaderScan(benchmark::State& state) {
  Generated& g = generated();
  Libraries libs(g.extensions());
  std::string cache = g.personalities() + "r20.lst";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(cache);
    state.ResumeTiming();
    FixtureList list(&libs.gobos, &libs.colours);
    list.scan(g.personalities(), g.extensions());
    if (list.entryCount() != kFixtures + 2) state.SkipWithError("scan incomplete");
  }
}
BENCHMARK(BM_IndexByHeaderScan)->Unit(benchmark::kMillisecond);

void BM_FirstUseFullLoad(benchmark::State& state) {
  fs::path data = fs::path(LMV_SOURCE_DIR) / "data";
  fs::path root = fs::temp_directory_path() / ("lmv_fxbench1_" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::copy(data, root, fs::copy_options::recursive);
  std::string personalities = (root / "Personalities").string() + "/";
  std::string extensions = (root / "Extensions").string() + "/";
  Libraries libs(extensions);
  for (auto _ : state) {
    state.PauseTiming();
    auto list = std::make_unique<FixtureList>(&libs.gobos, &libs.colours);
    list->scan(personalities, extensions);
    FixtureEntry* e = list->findEntry("Orbit575");
    state.ResumeTiming();
    if (!e || e->loadPersonality() != 1) state.SkipWithError("load failed");
    state.PauseTiming();
    list.reset();
    state.ResumeTiming();
  }
  fs::remove_all(root);
}
BENCHMARK(BM_FirstUseFullLoad)->Unit(benchmark::kMicrosecond);

}  // namespace
