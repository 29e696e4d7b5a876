#include "model/alloccounter.h"

#include "base/runlog.h"

namespace lmv {

AllocCounter::~AllocCounter() {
  if (count_ != 0)
    logFatal("Allocation count at %d for object %s (%s), should be zero.", count_, className_,
             "AllocCounter *");
}

}  // namespace lmv
