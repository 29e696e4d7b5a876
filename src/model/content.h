#pragma once
// Everything placed in the theatre (the object list), the libraries it is built from and the
// design-mode edit state (pick, drag, rubber box).
#include <cstdio>
#include <memory>
#include <string>

#include "model/alloccounter.h"

namespace lmv {

class ColorTable;
class EditSession;
class FixtureList;
class GoboList;
class Load;
class ObjectList;
class Theatre;

class Content : public AllocCounter {
 public:
  Content(Theatre& theatre, std::string fixtureFolder, std::string extensionsFolder);
  ~Content();
  Content(const Content&) = delete;
  Content& operator=(const Content&) = delete;

  std::string fixtureFolder;
  std::string extensionsFolder;
  std::unique_ptr<ObjectList> objectList;  // every placed object
  std::unique_ptr<EditSession> edit;       // design-mode pick, drag and rubber box
  int changed = 0;
  // The frame loop's reason to redraw: this flag or the edit session's.
  bool isChanged() const;
  void clearChanged();

  // The libraries, built in this order (the fixture index needs both tables' sizes) and
  // destroyed in the reverse one.
  std::unique_ptr<GoboList> goboList;
  std::unique_ptr<ColorTable> colorTable;
  std::unique_ptr<FixtureList> fixtureList;

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;

 private:
  Theatre& theatre;
};

}  // namespace lmv
