#include "model/content.h"

#include "model/load.h"
#include "model/objectlist.h"
#include "model/theatre.h"

namespace lmv {

Content::Content(Theatre& t, std::string fixtures, std::string extensions)
    : AllocCounter("Content"),
      fixtureFolder(std::move(fixtures)),
      extensionsFolder(std::move(extensions)),
      theatre(t) {
  objectList = std::make_unique<ObjectList>(theatre);
}

Content::~Content() = default;

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
