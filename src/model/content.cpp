#include "model/content.h"

#include "fixtures/colortable.h"
#include "fixtures/fixturelist.h"
#include "fixtures/gobolist.h"
#include "model/color.h"
#include "model/editsession.h"
#include "model/load.h"
#include "model/objectlist.h"
#include "model/theatre.h"

namespace lmv {

Content::Content(Theatre& t, std::string fixtures, std::string extensions)
    : AllocCounter("Content"),
      fixtureFolder(std::move(fixtures)),
      extensionsFolder(std::move(extensions)),
      theatre(t) {
  goboList = std::make_unique<GoboList>();
  colorTable = std::make_unique<ColorTable>();
  // Without folders (a bare theatre) only the built-in gobo and personalities exist.
  if (!extensionsFolder.empty()) {
    goboList->loadGobos(extensionsFolder);
    colorTable->loadColours(extensionsFolder);
  }
  setColorLookup(colorTable.get());
  fixtureList = std::make_unique<FixtureList>(goboList.get(), colorTable.get());
  if (!fixtureFolder.empty()) fixtureList->scan(fixtureFolder, extensionsFolder);
  // Last: the default objects look up the libraries.
  objectList = std::make_unique<ObjectList>(theatre, goboList.get(), fixtureList.get());
  edit = std::make_unique<EditSession>(theatre, *objectList);
}

Content::~Content() {
  edit.reset();
  objectList.reset();  // objects may refer to the libraries
  fixtureList.reset();
  if (colorLookup() == colorTable.get()) setColorLookup(nullptr);
}

bool Content::isChanged() const {
  return changed != 0 || edit->isChanged();
}

void Content::clearChanged() {
  changed = 0;
  edit->clearChanged();
}

void Content::load(Load& in) {
  readSection(in, "Content", {"objectList", "trussList", "lightList"}, [&](int key) {
    if (key == 0)
      objectList->load(in);
    else
      skipValueLine(in);
  });
}

void Content::save(FILE* f, const std::string& prefix) const {
  fprintf(f, "%sContent\n", prefix.c_str());
  fprintf(f, "%s objectList\n", prefix.c_str());
  objectList->save(f, prefix + "  ");
}

}  // namespace lmv
