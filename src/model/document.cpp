#include "model/document.h"

#include "model/load.h"
#include "model/theatre.h"

namespace lmv {

bool loadTheatreFile(std::string path, const TheatreSetup& setup,
                     std::unique_ptr<Theatre>& current) {
  Load in;
  if (!in.open(path)) return false;
  current.reset();  // one theatre at a time: the old one goes before the new one is built
  current = std::make_unique<Theatre>(setup.paneCanvases, setup.autoCenterObject,
                                      setup.fixtureFolder, setup.extensionsFolder);
  current->load(in);
  return in.state == ReadEnd;
}

}  // namespace lmv
