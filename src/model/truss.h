#pragma once
// A riser whose box outline can be split off-centre along its length: `origin` is the
// percentage of the length on the negative-x side of the position (50 centres it). Collisions
// and auto-butt still treat the box as centred.
#include "model/riser.h"

namespace lmv {

class Truss : public Riser {
 public:
  explicit Truss(ObjectList& list);

  void save(FILE* f, const std::string& prefix) const override;

  int origin = 50;

 protected:
  bool loadExtraKey(Load& in) override;
  int boxSplit() const override { return origin; }
};

}  // namespace lmv
