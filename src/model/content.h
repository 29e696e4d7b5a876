#pragma once
// Everything placed in the theatre (the object list) and the libraries it is built from.
#include <cstdio>
#include <string>

#include "model/alloccounter.h"

namespace lmv {

class Load;
class Theatre;

class Content : public AllocCounter {
 public:
  Content(Theatre& theatre, std::string fixtureFolder, std::string extensionsFolder);
  ~Content();
  Content(const Content&) = delete;
  Content& operator=(const Content&) = delete;

  std::string fixtureFolder;
  std::string extensionsFolder;
  int changed = 0;

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;

 private:
  Theatre& theatre;
};

}  // namespace lmv
