#pragma once
// One stored camera: a position (model units) and an orientation (degrees), both DMX-free
// Coordinates in the theatre's value list, and the transformation built from them, which
// takes world points into the camera's space. viewType tells the elevations ('p' plan,
// 's' side, 'f' front) from free views ('?'); moving a view makes it free.
#include <cstdio>
#include <memory>
#include <string>

#include "geometry/transformation.h"
#include "model/alloccounter.h"

namespace lmv {

class Coordinates;
class Load;
class ValueList;
class ViewList;

class ViewEntry : public AllocCounter {
 public:
  // A new entry is a plan view of the box its list last completed its views for.
  ViewEntry(ViewList& owner, ValueList& values);
  ~ViewEntry();
  ViewEntry(const ViewEntry&) = delete;
  ViewEntry& operator=(const ViewEntry&) = delete;

  std::string name;
  Transformation transformation;
  std::unique_ptr<Coordinates> posn;
  std::unique_ptr<Coordinates> orient;
  char viewType = 'p';

  // Setters make the view free ('?'), rebuild the transformation and flag the list.
  void setPosition(int x, int y, int z);
  void setOrientation(int x, int y, int z);
  // Truncated toward zero.
  void getPosition(int out[3]) const;
  void getOrientation(int out[3]) const;
  void setName(const std::string& text) { name = text; }

  void updateTransformation();
  // Takes the other view's position and orientation; the result is a free view.
  void copyFrom(const ViewEntry& other);

  // The standard views of a box W x H x D (integer halves truncate).
  void makePlan(const int box[3]);
  void makeSide(const int box[3]);
  void makeFront(const int box[3]);
  void makeDefaultUser(const int box[3]);

  // Whether position and orientation equal those of stored view `index` (false when there
  // is none).
  bool sameAs(int index) const;
  // Follows a resized box: each position coordinate scales by new / old (integers,
  // truncated; an axis whose old size is 0 stays), then z is kept at least the new depth.
  void rescale(const int oldSize[3], const int newSize[3]);

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;

 private:
  void place(int px, int py, int pz, int ox, int oy, int oz, char type);

  ViewList& owner;
  ValueList& values;
};

}  // namespace lmv
