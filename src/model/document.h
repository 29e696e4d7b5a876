#pragma once
// Loading a theatre file the way the main program does: the old theatre goes, a new one is
// built with the folders and read; success means the reader reached the end of the file.
#include <memory>
#include <string>

namespace lmv {

class Canvas;
class Theatre;

struct TheatreSetup {
  Canvas* const* paneCanvases = nullptr;
  int autoCenterObject = 0;
  std::string fixtureFolder;
  std::string extensionsFolder;
};

// Opens path (or path + ".ttr"). When it cannot be opened, current is left alone and the
// result is false. Otherwise current is replaced by the newly read theatre, even a partly
// read one, and the result tells whether it was read to its end.
bool loadTheatreFile(std::string path, const TheatreSetup& setup,
                     std::unique_ptr<Theatre>& current);

}  // namespace lmv
