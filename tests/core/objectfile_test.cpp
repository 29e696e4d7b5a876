// Object sections of the theatre file: writing, reading back to the same bytes, and bad input.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "geometry/mhlight.h"
#include "objectutil.h"

using namespace lmv;
using test::objects;

namespace {

// A theatre with risers, trusses and nested groups, a principal truss, a stage riser, a
// patched group and the odd member settings.
void buildShow(Theatre& t) {
  ObjectList& list = objects(t);
  t.name = "Show";
  list.defaultRiser->setAutoButt(0);
  list.defaultTruss->setSize(80, 4, 4);

  Riser* stage = list.newRiser();
  stage->setSize(600, 0, 300);
  stage->setWorldPosition(Vec3{500, 0, 200});
  list.setStageObject(stage);

  Truss* front = list.newTruss();
  front->setWorldPosition(Vec3{400, 180, 350});
  front->setWorldOrientation(Vec3{0, 30, 0});
  front->origin = 25;
  front->locked = 1;
  front->fixtureHandle = 17;

  Riser* deck = list.newRiser();
  deck->setWorldPosition(Vec3{450, 12.5, 380});
  deck->setPatch(24);
  deck->setAutoButt(1);

  Truss* back = list.newTruss();
  back->setWorldPosition(Vec3{500, 190, 50});
  back->setWorldOrientation(Vec3{0, 0, 10});

  Group* rig = list.newGroup();
  rig->addMember(front);  // principal
  rig->addMember(deck);
  Group* all = list.newGroup();
  all->addMember(rig);
  all->addMember(back);  // principal of the outer group
  all->setPatch(200);
  all->locked = 1;

  list.newGroup();  // an empty group
}

TEST(ObjectFile, SaveLoadSaveGivesTheSameBytes) {
  Theatre first;
  buildShow(first);
  const std::string saved = test::saveTheatre(first);

  Theatre second;
  ASSERT_TRUE(test::loadTheatre(second, saved));
  EXPECT_TRUE(test::sameText(saved, test::saveTheatre(second)));
  EXPECT_EQ(second.modificationCount, 0);

  // Same objects, same places, same membership.
  ObjectList& a = objects(first);
  ObjectList& b = objects(second);
  ASSERT_EQ(b.count(), a.count());
  for (int i = 0; i < a.count(); ++i) {
    SCOPED_TRACE(i);
    const ObjectEntry* x = a.at(i);
    const ObjectEntry* y = b.at(i);
    EXPECT_EQ(y->typeLetter, x->typeLetter);
    EXPECT_TRUE(test::nearVec(x->worldPosition(), y->worldPosition(), 1e-5));
    EXPECT_EQ(y->parentGroup ? b.indexOf(y->parentGroup) : -1,
              x->parentGroup ? a.indexOf(x->parentGroup) : -1);
    EXPECT_EQ(y->dmxBase, x->dmxBase);
    EXPECT_EQ(y->locked, x->locked);
  }
  EXPECT_EQ(b.stageObject, b.at(0));
  auto* rig = b.at(4)->asGroup();
  auto* all = b.at(5)->asGroup();
  ASSERT_TRUE(rig && all);
  EXPECT_EQ(rig->principal, b.at(1));
  EXPECT_EQ(all->principal, b.at(3));
  EXPECT_EQ(static_cast<Truss*>(b.at(1))->origin, 25);
  EXPECT_EQ(static_cast<Riser*>(b.at(2))->getAutoButt(), 1);
  EXPECT_EQ(all->posn->v[0]->dmxEnabled, 1);
  EXPECT_EQ(all->posn->v[0]->positionSpec()->channels[0], 200);
}

TEST(ObjectFile, SectionLayout) {
  Theatre t;
  buildShow(t);
  const std::string saved = test::saveTheatre(t);
  // Keys in write order, each at its depth; risers carry the type word ObjectEntry.
  const char* inOrder[] = {
      " content\n  Content\n   objectList\n    ObjectList\n     defaultRiser\n"
      "      ObjectEntry\n       dmxBase\n        -1\n       fixtureHandle\n        -1\n"
      "       posn\n        Coordinates\n",
      "     defaultTruss\n      ObjectEntry\n",
      "       origin\n        50\n     defaultMMLight\n      ObjectEntry\n       dmxBase\n"
      "        -2\n",
      "     defaultMHLight\n      ObjectEntry\n       dmxBase\n        -2\n",
      "     riser 0\n      ObjectEntry\n",
      "     truss 1\n",
      "       locked\n       origin\n        25\n       locked\n     riser 2\n",
      "     truss 3\n",
      "     groupRef 4\n     groupRef 5\n     groupRef 6\n     definesStage 0\n"
      "     groupDef 4\n      Group\n       posn\n",
      "       list\n        1 2\n       principal\n        1\n     groupDef 5\n      Group\n"
      "       dmxBase\n        200\n       posn\n",
      "       list\n        4 3\n       locked\n       principal\n        3\n     groupDef 6\n",
      "       list\n        -1\n",
  };
  size_t at = 0;
  for (const char* part : inOrder) {
    SCOPED_TRACE(part);
    size_t found = saved.find(part, at);
    ASSERT_NE(found, std::string::npos);
    at = found + strlen(part);
  }
  EXPECT_EQ(saved.find("\n       color"), std::string::npos);  // face colours are not written
}

// A compact document around an object list (indentation is for people only).
std::string document(const std::string& objectList) {
  return "Theatre\ncontent\nContent\nobjectList\nObjectList\n" + objectList;
}

std::string riser(int n, int handle) {
  return "riser " + std::to_string(n) + "\nObjectEntry\nfixtureHandle\n" + std::to_string(handle) +
         "\n";
}

std::string groupDef(int n, const std::string& list, const std::string& extra = "") {
  return "groupDef " + std::to_string(n) + "\nGroup\nlist\n " + list + "\n" + extra;
}

std::vector<int> memberHandles(const ObjectEntry* o) {
  std::vector<int> out;
  if (const Group* g = o ? o->asGroup() : nullptr)
    for (const ObjectEntry* m : g->members()) out.push_back(m->fixtureHandle);
  return out;
}

using Check = std::function<void(ObjectList&)>;

TEST(ObjectFile, BadReferencesChangeNothing) {
  const std::string three = riser(0, 10) + riser(1, 11) + riser(2, 12);
  struct Case {
    const char* name;
    std::string objectList;
    int state;
    const char* warning;  // part of a logged message, or empty
    Check check;
  } cases[] = {
      {"group definition past the end",
       three + "groupRef 3\ngroupRef 4\n" + groupDef(9, "0 1") + groupDef(4, "2"), ReadEnd,
       "Group definition 9 names no group",
       [](ObjectList& l) {
         EXPECT_TRUE(memberHandles(l.at(3)).empty());
         EXPECT_EQ(memberHandles(l.at(4)), std::vector<int>({12}));
       }},
      {"group definition naming a riser",
       three + "groupRef 3\n" + groupDef(0, "1") + "definesStage 2\n", ReadEnd, "names no group",
       [](ObjectList& l) {
         EXPECT_EQ(l.at(1)->parentGroup, nullptr);
         EXPECT_EQ(l.stageObject, l.at(2));
       }},
      {"stage past the end", three + "definesStage 7\n", ReadEnd, "Stage 7 names no riser",
       [](ObjectList& l) { EXPECT_EQ(l.stageObject, nullptr); }},
      {"stage naming a group", three + "groupRef 3\ndefinesStage 3\n", ReadEnd, "names no riser",
       [](ObjectList& l) { EXPECT_EQ(l.stageObject, nullptr); }},
      {"member list stops at a missing object", three + "groupRef 3\n" + groupDef(3, "0 8 1"),
       ReadEnd, "",
       [](ObjectList& l) { EXPECT_EQ(memberHandles(l.at(3)), std::vector<int>({10})); }},
      {"member list stops at a negative index", three + "groupRef 3\n" + groupDef(3, "1 -1 2"),
       ReadEnd, "",
       [](ObjectList& l) { EXPECT_EQ(memberHandles(l.at(3)), std::vector<int>({11})); }},
      {"a group cannot hold itself, nor a member of another group",
       three + "groupRef 3\ngroupRef 4\n" + groupDef(3, "0 3 1") + groupDef(4, "1 2 1"), ReadEnd,
       "cannot join group",
       [](ObjectList& l) {
         EXPECT_EQ(memberHandles(l.at(3)), std::vector<int>({10, 11}));
         EXPECT_EQ(memberHandles(l.at(4)), std::vector<int>({12}));
       }},
      {"groups listing each other make no cycle",
       three + "groupRef 3\ngroupRef 4\n" + groupDef(3, "4") + groupDef(4, "3 0"), ReadEnd,
       "cannot join group",
       [](ObjectList& l) {
         EXPECT_EQ(l.at(4)->parentGroup, l.at(3));
         EXPECT_EQ(l.at(3)->parentGroup, nullptr);
         EXPECT_EQ(l.at(0)->parentGroup, l.at(4));
       }},
      {"principal that is no member", three + "groupRef 3\n" + groupDef(3, "0", "principal\n2\n"),
       ReadEnd, "Principal 2 is no member",
       [](ObjectList& l) { EXPECT_EQ(l.at(3)->asGroup()->principal, nullptr); }},
      {"principal read before the list still counts",
       three + "groupRef 3\ngroupDef 3\nGroup\nprincipal\n1\nlist\n 0 1\n", ReadEnd, "",
       [](ObjectList& l) { EXPECT_EQ(l.at(3)->asGroup()->principal, l.at(1)); }},
      {"face colour outside 0..5 is read and dropped",
       "riser 0\nObjectEntry\ncolor 7\nColor\nintensity\nValue\nvalueBuffer\n9.0\ncolor 1\nColor\n"
       "intensity\nValue\nvalueBuffer\n8.0\nfixtureHandle\n5\n",
       ReadEnd, "Face colour 7 ignored",
       [](ObjectList& l) {
         Riser* r = l.at(0)->asRiser();
         EXPECT_EQ(r->fixtureHandle, 5);
         EXPECT_EQ(r->faceColors[1]->intensity->currentValue(), 8.0);
       }},
      {"group definition without its index", three + "groupRef 3\ngroupDef\nGroup\n", ReadError, "",
       [](ObjectList& l) { EXPECT_EQ(l.count(), 4); }},
      {"unknown key closes the list", three + "bogus\n" + riser(3, 13), ReadEnd, "",
       [](ObjectList& l) { EXPECT_EQ(l.count(), 3); }},
      {"old key names the default riser", "defaultObject\nObjectEntry\nfixtureHandle\n44\n",
       ReadEnd, "", [](ObjectList& l) { EXPECT_EQ(l.defaultRiser->fixtureHandle, 44); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::LogCapture log;
    Theatre t;
    test::StringLoad s(document(c.objectList));
    t.load(s.load);
    EXPECT_EQ(s.load.state, c.state);
    if (*c.warning) {
      EXPECT_TRUE(log.contains(c.warning));
    }
    c.check(objects(t));
    // Whatever was read saves and reads back to the same bytes.
    std::string saved = test::saveTheatre(t);
    Theatre again;
    ASSERT_TRUE(test::loadTheatre(again, saved));
    EXPECT_TRUE(test::sameText(saved, test::saveTheatre(again)));
  }
}

TEST(ObjectFile, LightSectionsTakeTheirPlaceInTheList) {
  const std::string light =
      "ObjectEntry\ndmxBase\n-2\nfixtureHandle\n9\nposn\nCoordinates\nvalue 0\nValue\nvalueBuffer\n"
      "3.0\npersonality\nSpot\nbeam\nBeam\ncolor\nColor\nrgbo 0\nValue\nvalueBuffer\n1.0\n"
      "intensity\nValue\nvalueBuffer\n255.0\nconeAngle\nValue\nvalueBuffer\n10.0\naperture\nValue\n"
      "valueBuffer\n1.0\ngoboOrient 0\nValue\nvalueBuffer\n0.0\ngoboIx 0\nValue\nvalueBuffer\n"
      "1.0\npan\nValue\nvalueBuffer\n0.0\ntilt\nValue\nvalueBuffer\n0.0\n";
  test::LogCapture log;
  Theatre t;
  ASSERT_TRUE(test::loadTheatre(
      t,
      document("defaultMHLight\n" + light + riser(0, 10) + "mhLight 1\n" + light + "mmLight 2\n" +
               light + riser(3, 13) + "definesStage 3\ngroupRef 4\n" + groupDef(4, "0 1 3"))));
  ObjectList& l = objects(t);
  ASSERT_EQ(l.count(), 5);
  EXPECT_EQ(l.defaultMHLight->fixtureHandle, 9);
  EXPECT_EQ(l.at(1)->typeLetter, 'h');
  EXPECT_EQ(l.at(2)->typeLetter, 'm');
  EXPECT_EQ(l.at(1)->fixtureHandle, 9);
  EXPECT_EQ(l.at(3)->fixtureHandle, 13);
  EXPECT_EQ(l.stageObject, l.at(3));
  EXPECT_EQ(memberHandles(l.at(4)), std::vector<int>({10, 9, 13}));
  EXPECT_TRUE(log.contains("Personality \"Spot\" is not in the fixture index"));
}

}  // namespace
