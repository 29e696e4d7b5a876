#pragma once
// The theatre's box: its size (three values), per-face colours and grid settings. Only the
// size is written to files; colours come from old files and the theatre dialog.
#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "model/alloccounter.h"

namespace lmv {

class Color;
class Coordinates;
class Load;
class Represent;
class Value;
class ValueList;
class ViewList;

class Walls : public AllocCounter {
 public:
  explicit Walls(ValueList& list);
  ~Walls();
  Walls(const Walls&) = delete;
  Walls& operator=(const Walls&) = delete;

  std::unique_ptr<Coordinates> size;
  std::array<std::unique_ptr<Color>, 6> backColor;
  Value* gridFrequency;
  std::array<std::unique_ptr<Color>, 6> gridColor;

  // Called with the old size after every setSize (the views follow the box).
  std::function<void(const int oldSize[3], const int newSize[3])> onResize;

  void setSize(int w, int h, int d);
  void getSize(int out[3]) const;
  void setGridFrequency(int f);
  int getGridFrequency() const;

  // The box's outline per pane, made on first build; null before.
  std::array<std::unique_ptr<Represent>, 4> wallRepresentations;
  Represent* representation(int pane) const;
  // Camera-space points of the box in every pane in use, through the view each pane shows.
  void build(const ViewList& views);
  // Plane points of the box in every pane in use.
  void project(const ViewList& views);
  // Whether a pane pixel lies on the box's outline (as last fitted).
  bool hitTest(int pane, int x, int y) const;

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;

 private:
  ValueList& list;
};

}  // namespace lmv
