#include "model/content.h"

#include "model/load.h"
#include "model/theatre.h"

namespace lmv {

Content::Content(Theatre& t, std::string fixtures, std::string extensions)
    : AllocCounter("Content"),
      fixtureFolder(std::move(fixtures)),
      extensionsFolder(std::move(extensions)),
      theatre(t) {}

Content::~Content() = default;

void Content::load(Load& in) {
  readSection(in, "Content", {"trussList", "lightList"}, [&](int) { skipValueLine(in); });
}

void Content::save(FILE* f, const std::string& prefix) const {
  fprintf(f, "%sContent\n", prefix.c_str());
}

}  // namespace lmv
