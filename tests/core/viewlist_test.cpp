// Stored views: the standard views of the box, selection, resizing and the file sections.
#include "model/viewlist.h"

#include <gtest/gtest.h>

#include <string>

#include "model/load.h"
#include "model/theatre.h"
#include "model/viewentry.h"
#include "model/walls.h"
#include "testutil.h"

using namespace lmv;
using lmv::test::readFile;
using lmv::test::sameText;
using lmv::test::StringLoad;
using lmv::test::TempDir;

namespace {

struct ViewExpectation {
  const char* name;
  int posn[3];
  int orient[3];
  char type;
};

void expectView(const ViewExpectation& e, const ViewEntry* v) {
  SCOPED_TRACE(e.name);
  ASSERT_NE(nullptr, v);
  int p[3], a[3];
  v->getPosition(p);
  v->getOrientation(a);
  EXPECT_EQ(e.name, v->name);
  EXPECT_EQ(e.posn[0], p[0]);
  EXPECT_EQ(e.posn[1], p[1]);
  EXPECT_EQ(e.posn[2], p[2]);
  EXPECT_EQ(e.orient[0], a[0]);
  EXPECT_EQ(e.orient[1], a[1]);
  EXPECT_EQ(e.orient[2], a[2]);
  EXPECT_EQ(e.type, v->viewType);
}

// The views of the default 1000 x 200 x 500 box.
void expectDefaultViews(const ViewList& views) {
  ASSERT_EQ(9, views.entryCount());
  expectView({"plan", {500, -250, 2500}, {-90, 0, 0}, 'p'}, views.entry(0));
  expectView({"side", {250, 100, 2500}, {0, -90, 0}, 's'}, views.entry(1));
  expectView({"front", {500, 100, 2500}, {0, 0, 0}, 'f'}, views.entry(2));
  const char* users[6] = {"1", "2", "3", "4", "5", "6"};
  for (int i = 0; i < 6; ++i)
    expectView({users[i], {300, 100, 750}, {0, -45, 0}, '?'}, views.entry(3 + i));
  expectView({"current", {300, 100, 750}, {0, -45, 0}, '?'}, views.currentView.get());
  EXPECT_EQ(3, views.currentIx);
  EXPECT_EQ(views.currentView.get(), views.paneViews[0]);
  EXPECT_EQ(views.entry(0), views.paneViews[1]);
  EXPECT_EQ(views.entry(1), views.paneViews[2]);
  EXPECT_EQ(views.entry(2), views.paneViews[3]);
}

TEST(ViewList, NewTheatreHasTheStandardViewsOfItsBox) {
  Theatre t;
  expectDefaultViews(*t.viewList);
  EXPECT_EQ(0, t.modificationCount);
  // The view transformation takes the middle of the back wall straight ahead of the front
  // camera, 5 x depth away.
  const Vec3 c = t.viewList->entry(2)->transformation.apply({500, 100, 0});
  EXPECT_DOUBLE_EQ(0, c.x);
  EXPECT_DOUBLE_EQ(0, c.y);
  EXPECT_DOUBLE_EQ(-2500, c.z);
}

TEST(ViewList, FileWithOnlyHeaderAndNameGetsTheDefaultViews) {
  StringLoad file(
      "Header\n softwareVersion\n  7.20\n fileFormat\n  0.0\nTheatre\n name\n  \"Demo\"\n");
  Theatre t;
  t.load(file.load);
  EXPECT_EQ(ReadEnd, file.load.state);
  EXPECT_EQ("Demo", t.name);
  expectDefaultViews(*t.viewList);
  EXPECT_EQ(0, t.modificationCount);
}

TEST(ViewList, SelectViewCopiesAStoredViewIntoTheCurrentView) {
  Theatre t;
  ViewList& views = *t.viewList;
  views.viewsChanged = 0;
  ASSERT_TRUE(views.selectView(1));
  EXPECT_EQ(1, views.currentIx);
  EXPECT_EQ(1, views.viewsChanged);
  expectView({"current", {250, 100, 2500}, {0, -90, 0}, '?'}, views.currentView.get());
  EXPECT_TRUE(views.currentView->sameAs(1));
  EXPECT_FALSE(views.currentView->sameAs(0));
  EXPECT_FALSE(views.currentView->sameAs(42));

  views.currentView->setPosition(250, 100, 2400);
  EXPECT_FALSE(views.currentView->sameAs(1));
  EXPECT_FALSE(views.selectView(9));  // past the end: nothing changes
  EXPECT_EQ(1, views.currentIx);
  EXPECT_FALSE(views.selectView(-1));

  views.storeCurrentView(5);
  EXPECT_TRUE(views.currentView->sameAs(5));
  EXPECT_EQ("3", views.entry(5)->name);
}

TEST(ViewList, SettersMakeAFreeViewAndRebuildItsTransformation) {
  Theatre t;
  ViewEntry& plan = *t.viewList->entry(0);
  t.viewList->viewsChanged = 0;
  plan.setOrientation(0, 0, 0);
  EXPECT_EQ('?', plan.viewType);
  EXPECT_EQ(1, t.viewList->viewsChanged);
  EXPECT_DOUBLE_EQ(-2500, plan.transformation.apply({500, -250, 0}).z);
}

TEST(ViewList, ResizingTheBoxRescalesUserViewsAndRecomputesTheStandardOnes) {
  Theatre t;
  ViewList& views = *t.viewList;
  views.entry(4)->setPosition(100, 50, 100);  // inside the box
  t.walls->setSize(2000, 200, 1000);
  expectView({"plan", {1000, -500, 5000}, {-90, 0, 0}, 'p'}, views.entry(0));
  expectView({"front", {1000, 100, 5000}, {0, 0, 0}, 'f'}, views.entry(2));
  // x doubles; z doubles (750 -> 1500, beyond the new depth 1000).
  expectView({"1", {600, 100, 1500}, {0, -45, 0}, '?'}, views.entry(3));
  expectView({"current", {600, 100, 1500}, {0, -45, 0}, '?'}, views.currentView.get());
  // z = 200 would lie inside the box: the camera moves back to the new depth.
  expectView({"2", {200, 50, 1000}, {0, -45, 0}, '?'}, views.entry(4));

  // An axis of size 0 leaves that coordinate alone when it grows again.
  t.walls->setSize(0, 200, 1000);
  t.walls->setSize(500, 200, 1000);
  int p[3];
  views.entry(3)->getPosition(p);
  EXPECT_EQ(0, p[0]);
}

TEST(ViewList, RemovingAShownViewLeavesThePaneOnTheCurrentView) {
  Theatre t;
  ViewList& views = *t.viewList;
  views.setPaneView(2, views.entry(7));
  EXPECT_EQ(1, views.paneViewsChanged);
  views.removeEntry(7);
  EXPECT_EQ(8, views.entryCount());
  EXPECT_EQ(views.currentView.get(), views.paneViews[2]);
  views.removeEntry(99);
  EXPECT_EQ(8, views.entryCount());
}

// A theatre whose views differ from the defaults in every way the file can hold.
void editViews(Theatre& t) {
  ViewList& views = *t.viewList;
  views.entry(4)->setPosition(-120, 340, 999);
  views.entry(4)->setOrientation(10, -20, 30);
  views.entry(4)->setName("Balcony");
  views.appendEntry()->setName("extra");
  views.selectView(4);
}

TEST(ViewList, SaveLoadSaveIsByteForByte) {
  TempDir dir;
  std::string first;
  {
    Theatre t;
    editViews(t);
    ASSERT_TRUE(t.save(dir.file("a.ttr")));
    first = readFile(dir.file("a.ttr"));
  }
  // The section as written: type line, keys one space deeper, values two.
  const std::string head =
      " viewList\n"
      "  ViewList\n"
      "   currentIx\n"
      "    4\n"
      "   viewEntry 0\n"
      "    ViewEntry\n"
      "     posn\n"
      "      Coordinates\n"
      "       value 0\n"
      "        Value\n"
      "         valueBuffer\n"
      "          500.000000\n";
  ASSERT_NE(std::string::npos, first.find(head)) << first;
  EXPECT_NE(std::string::npos, first.find("     name\n      \"Balcony\"\n   viewEntry 5\n"));
  EXPECT_NE(std::string::npos, first.find("   viewEntry 9\n"));
  EXPECT_NE(std::string::npos, first.find("   current\n    ViewEntry\n"));
  EXPECT_TRUE(first.ends_with("     name\n      \"current\"\n"));  // the current view comes last

  Theatre t2;
  std::string path = dir.file("a.ttr");
  Load in;
  ASSERT_TRUE(in.open(path));
  t2.load(in);
  EXPECT_EQ(ReadEnd, in.state);
  ASSERT_TRUE(t2.save(dir.file("b.ttr")));
  EXPECT_TRUE(sameText(first, readFile(dir.file("b.ttr"))));
  EXPECT_EQ(10, t2.viewList->entryCount());
  EXPECT_EQ(4, t2.viewList->currentIx);
  expectView({"current", {-120, 340, 999}, {10, -20, 30}, '?'}, t2.viewList->currentView.get());
}

// A view section holding one entry's position, as the files write it.
std::string viewListFile(const std::string& version, const std::string& entries) {
  return "Header\n softwareVersion\n  " + version + "\nTheatre\n viewList\n  ViewList\n" + entries;
}

std::string newCoordinates(int x, int y, int z) {
  std::string s = "Coordinates\n";
  for (int v : {x, y, z}) s += "value\nValue\nvalueBuffer\n" + std::to_string(v) + ".000000\n";
  return s;
}

TEST(ViewList, StoredStandardViewsAreRecomputedUserViewsKept) {
  StringLoad file(viewListFile("7.20", "viewEntry 0\nViewEntry\nposn\n" + newCoordinates(1, 2, 3) +
                                           "name\n\"Top\"\n" + "viewEntry 3\nViewEntry\nposn\n" +
                                           newCoordinates(4, 5, 6) + "currentIx\n7\n"));
  Theatre t;
  t.load(file.load);
  EXPECT_EQ(ReadEnd, file.load.state);
  expectView({"plan", {500, -250, 2500}, {-90, 0, 0}, 'p'}, t.viewList->entry(0));
  expectView({"1", {4, 5, 6}, {0, -45, 0}, '?'}, t.viewList->entry(3));
  EXPECT_EQ(7, t.viewList->currentIx);
}

// Old-syntax coordinates (two signed bytes per value) of an orientation.
std::string oldOrientation(int x, int y, int z) {
  auto bytes = [](int v) { return std::to_string((v >> 8) & 255) + " " + std::to_string(v & 255); };
  return "orient\nCoordinates\nvalue 0\nValue\nstructure\n0 2 3 1 1 0 0 1.000000 0\nvalue\n" +
         bytes(x) + " " + bytes(y) + " " + bytes(z) + "\n";
}

TEST(ViewList, OldFilesTurnTheLongWayRoundDefaultViewBack) {
  struct Case {
    const char* version;
    bool fixed;
  } cases[] = {
      {"3.18", true}, {"3.2", true},  // the minor part is a number: 3.2 is 3002
      {"2.50", true}, {"3.19", false}, {"4.0", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    StringLoad file(viewListFile(c.version, "current\nViewEntry\n" + oldOrientation(180, 225, 180) +
                                                "viewEntry 5\nViewEntry\n" +
                                                oldOrientation(180, 225, 181)));
    Theatre t;
    t.load(file.load);
    EXPECT_EQ(ReadEnd, file.load.state);
    const int expected[3] = {c.fixed ? 0 : 180, c.fixed ? -45 : 225, c.fixed ? 0 : 180};
    int a[3];
    t.viewList->currentView->getOrientation(a);
    EXPECT_EQ(expected[0], a[0]);
    EXPECT_EQ(expected[1], a[1]);
    EXPECT_EQ(expected[2], a[2]);
    // The transformation was rebuilt from what the entry holds after the fix.
    int p[3];
    t.viewList->currentView->getPosition(p);
    Transformation rebuilt;
    rebuilt.set({p[0], p[1], p[2]}, {double(a[0]), double(a[1]), double(a[2])});
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 4; ++col)
        EXPECT_DOUBLE_EQ(rebuilt.matrix().m[row][col],
                         t.viewList->currentView->transformation.matrix().m[row][col]);
    // Only exactly (180, 225, 180) is replaced.
    t.viewList->entry(5)->getOrientation(a);
    EXPECT_EQ(181, a[2]);
  }
}

TEST(ViewList, BadViewEntryLinesStopTheReaderWithoutHarm) {
  // A viewEntry key without its index is a missing token: the reader stops in ReadError.
  StringLoad file(viewListFile("7.20", "viewEntry\nViewEntry\n"));
  Theatre t;
  t.load(file.load);
  EXPECT_EQ(ReadError, file.load.state);
  expectDefaultViews(*t.viewList);
  // A negative index appends, like any index past the end.
  StringLoad negative(viewListFile("7.20", "viewEntry -3\nViewEntry\nname\n\"x\"\n"));
  Theatre t2;
  t2.load(negative.load);
  EXPECT_EQ(ReadEnd, negative.load.state);
  ASSERT_EQ(10, t2.viewList->entryCount());
  EXPECT_EQ("x", t2.viewList->entry(9)->name);
}

}  // namespace
