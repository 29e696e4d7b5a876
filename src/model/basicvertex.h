#pragma once
// Empty common base of the vertex types of representations and spots.
#include "model/alloccounter.h"

namespace lmv {

struct BasicVertex : AllocCounter {
  BasicVertex() : AllocCounter("BasicVertex") {}
};

}  // namespace lmv
