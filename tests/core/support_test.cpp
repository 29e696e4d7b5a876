#include <gtest/gtest.h>

#include "model/alloccounter.h"
#include "model/color.h"
#include "model/colorlookup.h"
#include "model/linkedlist.h"
#include "model/value.h"
#include "testutil.h"

using namespace lmv;

namespace {

TEST(AllocCounter, NonZeroCountIsReportedAsFatal) {
  test::LogCapture log;
  { AllocCounter balanced("Theatre"); }
  EXPECT_TRUE(log.messages.empty());
  {
    AllocCounter walls("Walls");
    walls.adjust(2);
    walls.adjust(-1);  // one member freed without its adjust
  }
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(log.messages[0],
            "Allocation count at 1 for object Walls (AllocCounter *), should be zero.");
}

struct Item {
  int id;
  LinkedListEntry<Item> hook;
};
using ItemList = LinkedList<Item, &Item::hook>;

TEST(LinkedList, AppendRemoveNth) {
  Item a{1, {}}, b{2, {}}, c{3, {}};
  ItemList list;
  list.append(&a);
  list.append(&b);
  list.append(&c);
  EXPECT_EQ(list.nth(1), &b);
  EXPECT_EQ(list.nth(3), nullptr);
  list.remove(&c);  // removing the last leaves the second as last
  EXPECT_EQ(list.last(), &b);
  EXPECT_EQ(ItemList::next(&b), nullptr);
  EXPECT_EQ(c.hook.next, nullptr);
  EXPECT_EQ(c.hook.prev, nullptr);
  list.remove(&a);  // removing the head moves it on
  EXPECT_EQ(list.first(), &b);
  list.append(&a);
  EXPECT_EQ(list.indexOf(&a), 1);
  EXPECT_EQ(list.size(), 2);
}

class TwoColourTable : public ColorLookup {
 public:
  int colorCount() const override { return 2; }
  void colorRgb(int index, int rgb[3]) const override {
    static const int table[2][3] = {{255, 255, 255}, {128, 0, 255}};
    index = index < 0 ? 0 : (index > 1 ? 1 : index);
    for (int i = 0; i < 3; ++i) rgb[i] = table[index][i];
  }
};

TEST(Color, SetRgbEffectiveAndFilters) {
  ValueList list;
  Color c(list);
  c.intensity->setValue(128);
  c.setRgb(128, 64, 0);
  EXPECT_EQ(c.rgbo[0]->currentValue(), 255);
  EXPECT_EQ(c.rgbo[1]->currentValue(), 127);
  EXPECT_EQ(c.rgbo[2]->currentValue(), 0);
  int out[3];
  c.effectiveRgb(out);
  EXPECT_EQ(out[0], 128);
  EXPECT_EQ(out[1], 63);
  EXPECT_EQ(out[2], 0);

  TwoColourTable table;
  setColorLookup(&table);
  c.intensity->setValue(255);
  c.setRgb(255, 255, 255);
  c.filters[0]->enableDmx();
  c.filters[0]->setValue(0);  // white: 255 darkens to 254
  c.effectiveRgb(out);
  EXPECT_EQ(out[0], 254);
  c.filters[0]->setValue(1);
  c.effectiveRgb(out);
  EXPECT_EQ(out[0], 127);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[2], 254);
  c.addFilter();  // filter specs scale by the table's size
  EXPECT_DOUBLE_EQ(c.filters[1]->positionSpec()->ranges[0].scale, 2 / 256.0);
  setColorLookup(nullptr);

  c.setFilterCount(0);
  EXPECT_TRUE(c.filters.empty());
  test::StringLoad s(
      "Color\n filter\n  Value\n filter\n  Value\n filter\n  Value\n intensity\n  Value\n"
      "   valueBuffer\n    99.0\n");
  c.load(s.load);
  EXPECT_EQ(c.filters.size(), 3u);
  EXPECT_EQ(c.intensity->currentValue(), 99);
  EXPECT_EQ(s.load.state, ReadEnd);
}

TEST(Color, RemovedFiltersLeaveTheValueList) {
  ValueList list;
  {
    Color c(list);
    EXPECT_EQ(list.values.size(), 5);
    c.setFilterCount(3);
    EXPECT_EQ(list.values.size(), 7);
    c.setFilterCount(1);
    EXPECT_EQ(list.values.size(), 5);
  }
  EXPECT_EQ(list.values.size(), 0);
}

}  // namespace
