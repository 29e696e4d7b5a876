#include "model/truss.h"

#include "model/load.h"

namespace lmv {

Truss::Truss(ObjectList& l) : Riser(l, "Truss") {
  typeLetter = 't';
}

bool Truss::loadExtraKey(Load& in) {
  if (!in.isKey("origin")) return false;
  readInt(in, origin);
  return true;
}

void Truss::save(FILE* f, const std::string& prefix) const {
  Riser::save(f, prefix);
  const char* p = prefix.c_str();
  fprintf(f, "%s origin\n", p);
  fprintf(f, "%s  %d\n", p, origin);
  if (locked) fprintf(f, "%s locked\n", p);
}

}  // namespace lmv
