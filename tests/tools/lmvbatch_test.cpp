// Runs the lmvbatch executable as scripts do and checks its exit codes and output.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "../core/testutil.h"

namespace {

struct Outcome {
  int code;
  std::string out;  // standard output and error together
};

Outcome run(const std::string& args) {
  std::string cmd = std::string(LMVBATCH_PATH) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  Outcome r{-1, {}};
  if (!p) return r;
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
  int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST(Lmvbatch, ExitCodesAndMessages) {
  lmv::test::TempDir dir;
  std::string good = dir.file("good.ttr");
  lmv::test::writeFile(good, "Header\n softwareVersion\n  7.20\nTheatre\n name\n  \"X\"\n");
  lmv::test::writeFile(dir.file("bad.ttr"), "Theatre\n name\n\n");
  lmv::test::writeFile(dir.file("levels.txt"), "# fine\n1 255\nnot a level\n");

  Outcome missing = run("dump " + dir.file("none.ttr"));
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.out.find("Could not load <" + dir.file("none.ttr") + ">"), std::string::npos);
  Outcome malformed = run("dump " + dir.file("bad.ttr"));
  EXPECT_EQ(malformed.code, 1);
  EXPECT_NE(malformed.out.find("Could not load"), std::string::npos);

  Outcome levels = run("dump " + good + " --dmx " + dir.file("levels.txt"));
  EXPECT_EQ(levels.code, 2);
  EXPECT_NE(levels.out.find("line 3"), std::string::npos);

  EXPECT_EQ(run("").code, 2);
  EXPECT_EQ(run("frobnicate " + good).code, 2);
  EXPECT_EQ(run("render " + good + " x.png --panes 3").code, 2);

  Outcome dump = run("dump " + good);
  EXPECT_EQ(dump.code, 0);
  EXPECT_NE(dump.out.find("theatre 1000.000 200.000 500.000 smoke 100.000 spot 1 cone 1\n"),
            std::string::npos);

  // Resave goes through the same writer: the result reads back to the same bytes.
  ASSERT_EQ(run("resave " + good + " " + dir.file("a.ttr")).code, 0);
  ASSERT_EQ(run("resave " + dir.file("a.ttr") + " " + dir.file("b.ttr")).code, 0);
  EXPECT_TRUE(lmv::test::sameText(lmv::test::readFile(dir.file("a.ttr")),
                                  lmv::test::readFile(dir.file("b.ttr"))));
  // An unwritable output is an error and leaves nothing behind.
  Outcome unwritable = run("resave " + good + " " + dir.file("no/such/dir/out.ttr"));
  EXPECT_EQ(unwritable.code, 1);
}

}  // namespace

namespace {

const std::string kDemo = std::string(LMV_SOURCE_DIR) + "/data/Theatres/default.ttr";

TEST(Lmvbatch, DemoTheatreResavesToSameBytesAndDumps) {
  lmv::test::TempDir dir;
  ASSERT_EQ(run("resave " + kDemo + " " + dir.file("demo.ttr")).code, 0);
  EXPECT_TRUE(
      lmv::test::sameText(lmv::test::readFile(kDemo), lmv::test::readFile(dir.file("demo.ttr"))));
  Outcome dump = run("dump " + kDemo);
  ASSERT_EQ(dump.code, 0) << dump.out;
  EXPECT_NE(dump.out.find("object 0 r handle -1 dmx -1 12 pos 600.000 40.000 300.000 orient "
                          "0.000 0.000 0.000 size 800.000 80.000 400.000 group -1\n"),
            std::string::npos)
      << dump.out;
  EXPECT_NE(dump.out.find(" g handle "), std::string::npos);
  EXPECT_NE(dump.out.find("view current "), std::string::npos);
}

TEST(Lmvbatch, RenderWritesPngForBothModes) {
  lmv::test::TempDir dir;
  for (const char* panes : {"1", "4"}) {
    SCOPED_TRACE(panes);
    std::string out = dir.file(std::string("demo") + panes + ".png");
    Outcome r = run("render " + kDemo + " " + out + " --panes " + panes + " --size 200x150");
    ASSERT_EQ(r.code, 0) << r.out;
    std::string png = lmv::test::readFile(out);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
  }
  Outcome bad = run("render " + kDemo + " " + dir.file("none/x.png"));
  EXPECT_EQ(bad.code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("none/x.png")));
}

}  // namespace

namespace {

// The lines of a report from its column header on, with the aim columns (11 to 18) of every
// row emptied: they depend on the reference points, which come from the stage object.
std::string reportRows(const std::string& text) {
  size_t at = text.find("\nHandle,");
  if (at == std::string::npos) return std::string();
  std::istringstream in(text.substr(at + 1));
  std::string out;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string f; std::getline(split, f, ',');) fields.push_back(f);
    for (size_t i = 10; i < 18 && i < fields.size(); ++i) fields[i].clear();
    std::string joined;
    for (size_t i = 0; i < fields.size(); ++i) joined += (i ? "," : "") + fields[i];
    out += joined + "\n";
  }
  return out;
}

TEST(LmvbatchReport, ExportImportExportKeepsTheRigOfTheDemo) {
  lmv::test::TempDir dir;
  const std::string first = dir.file("first.csv");
  Outcome exported = run("export-report " + kDemo + " " + first);
  ASSERT_EQ(exported.code, 0) << exported.out;
  const std::string text = lmv::test::readFile(first);
  EXPECT_EQ(text.rfind("Theatre," + first + "\n\nReference points,", 0), 0u) << text;
  EXPECT_NE(text.find("\nTheatre dimensions, Length, Height, Depth\n"), std::string::npos);
  EXPECT_NE(text.find(",Riser,"), std::string::npos);
  EXPECT_NE(text.find(",Truss,"), std::string::npos);
  EXPECT_NE(text.find(",Orbit575,"), std::string::npos);
  EXPECT_NE(text.find(",Glint150,"), std::string::npos);

  // Into a new theatre: groups and the stage are not part of the report, every riser, truss
  // and light comes back where it was in the world, as it was.
  Outcome imported = run("import-report " + first + " " + dir.file("rig.ttr"));
  ASSERT_EQ(imported.code, 0) << imported.out;
  Outcome again = run("export-report " + dir.file("rig.ttr") + " " + dir.file("second.csv"));
  ASSERT_EQ(again.code, 0) << again.out;
  EXPECT_TRUE(lmv::test::sameText(reportRows(text),
                                  reportRows(lmv::test::readFile(dir.file("second.csv")))));
}

TEST(LmvbatchReport, ImportIntoABaseTheatreAndBadInput) {
  lmv::test::TempDir dir;
  const std::string csv = dir.file("rig.csv");
  lmv::test::writeFile(csv,
                       "Theatre dimensions\n,800,300,600\nHandle\n"
                       "1,Riser, ,,,10,5,10,0,0,,,,,,,,,20,10,20,0\n"
                       "x,Riser, ,,,10,5,10,0,0,,,,,,,,,20,10,20,0\n");
  Outcome based = run("import-report " + csv + " " + dir.file("out.ttr") + " --base " + kDemo);
  ASSERT_EQ(based.code, 0) << based.out;
  // The skipped field is reported on standard error.
  EXPECT_NE(based.out.find("lmvbatch: Report line 5: field 1 <x> is not a number"),
            std::string::npos)
      << based.out;
  Outcome dump = run("dump " + dir.file("out.ttr"));
  ASSERT_EQ(dump.code, 0);
  EXPECT_NE(dump.out.find("theatre 800.000 300.000 600.000"), std::string::npos) << dump.out;
  EXPECT_NE(dump.out.find("object 0 r handle -1 dmx -1 12 pos 600.000 40.000 300.000"),
            std::string::npos);
  EXPECT_NE(dump.out.find(" r handle 1 dmx -1 12 pos 10.000 5.000 10.000 orient 0.000 0.000 "
                          "0.000 size 20.000 10.000 20.000 group -1\n"),
            std::string::npos)
      << dump.out;

  Outcome missing = run("import-report " + dir.file("none.csv") + " " + dir.file("x.ttr"));
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.out.find("Could not open report file <" + dir.file("none.csv") + ">"),
            std::string::npos)
      << missing.out;
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.ttr")));
  Outcome noBase =
      run("import-report " + csv + " " + dir.file("x.ttr") + " --base " + dir.file("none.ttr"));
  EXPECT_EQ(noBase.code, 1);
  EXPECT_NE(noBase.out.find("Could not load <" + dir.file("none.ttr") + ">"), std::string::npos);
  EXPECT_EQ(run("import-report " + csv + " " + dir.file("no/dir/x.ttr")).code, 1);

  Outcome unwritable = run("export-report " + kDemo + " " + dir.file("no/dir/x.csv"));
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_NE(unwritable.out.find("Could not open report file <"), std::string::npos);
  EXPECT_EQ(run("export-report " + dir.file("none.ttr") + " " + dir.file("x.csv")).code, 1);

  EXPECT_EQ(run("export-report " + kDemo).code, 2);
  EXPECT_EQ(run("import-report " + csv).code, 2);
  EXPECT_EQ(run("import-report " + csv + " a.ttr --base").code, 2);
  EXPECT_EQ(run("export-report " + kDemo + " x.csv --base " + kDemo).code, 2);
  EXPECT_EQ(run("import-report " + csv + " a.ttr --dmx levels.txt").code, 2);
}

TEST(LmvbatchReport, ExportTakesTheLevels) {
  lmv::test::TempDir dir;
  // A riser patched at channel 1 whose x position (two channels, 1/16 per step) the levels
  // set to 256 * 1 / 16 = 16.
  lmv::test::writeFile(dir.file("rig.csv"),
                       "Handle\n5,Riser,A,1,12,100,5,100,0,0,,,,,,,,,20,10,20,0\n");
  ASSERT_EQ(run("import-report " + dir.file("rig.csv") + " " + dir.file("rig.ttr")).code, 0);
  lmv::test::writeFile(dir.file("moved.txt"), "1 1\n2 0\n");
  ASSERT_EQ(run("export-report " + dir.file("rig.ttr") + " " + dir.file("a.csv") + " --dmx " +
                dir.file("moved.txt"))
                .code,
            0);
  EXPECT_NE(lmv::test::readFile(dir.file("a.csv")).find("\n5,Riser,A,1,12,16,0,0,"),
            std::string::npos)
      << lmv::test::readFile(dir.file("a.csv"));
}

const std::string kDemoLevels = std::string(LMV_SOURCE_DIR) + "/data/Theatres/demo-levels.txt";

TEST(Lmvbatch, DumpListsLightsAndTheirSpots) {
  Outcome dump = run("dump " + kDemo + " --dmx " + kDemoLevels);
  ASSERT_EQ(dump.code, 0) << dump.out;
  EXPECT_NE(dump.out.find("light 8 personality \"Orbit575\" pan -39.288 tilt -66.428 cone 13.976 "
                          "aperture 1.000 colour 0 58 253 origin 300.000 390.000 700.000\n"),
            std::string::npos)
      << dump.out;
  EXPECT_NE(dump.out.find("light 16 personality \"Glint150\" "), std::string::npos);
  // Every spot line holds as many points as it announces, each on its face's plane.
  std::istringstream lines(dump.out);
  std::string line;
  int spots = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("spot ", 0) != 0) continue;
    SCOPED_TRACE(line);
    std::istringstream in(line.substr(5));
    int index = 0, face = -1, n = 0;
    std::string word;
    in >> index >> word >> face >> n;
    ASSERT_EQ(word, "face");
    ASSERT_GE(face, 0);
    ASSERT_LT(face, 6);
    const double box[3] = {1200, 500, 900};
    std::vector<double> p(3);
    int read = 0;
    while (in >> p[0] >> p[1] >> p[2]) {
      EXPECT_EQ(p[size_t(face / 2)], face % 2 ? box[face / 2] : 0);
      ++read;
    }
    EXPECT_EQ(read, n);
    ++spots;
  }
  EXPECT_GE(spots, 12);
}

}  // namespace
