#pragma once
// Where the program lives: its folder (ending in "/") and the default folders beside it.
#include <string>

namespace lmv {

// Folder of the running executable, from /proc/self/exe; "./" when it cannot be found.
std::string programFolder();

struct ProgramFolders {
  std::string program;     // ends in "/"
  std::string theatres;    // program + "Theatres/"
  std::string extensions;  // program + "Extensions/"
  std::string fixtures;    // program + "Personalities/"
};
ProgramFolders defaultFolders(const std::string& programFolder);

// Whether path ends with name, compared without case.
bool endsWithNoCase(const std::string& path, const std::string& name);

}  // namespace lmv
