#include "platform/paths.h"

#include <unistd.h>

#include <climits>

#include "base/text.h"

namespace lmv {

std::string programFolder() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, size_t(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

ProgramFolders defaultFolders(const std::string& program) {
  return {program, program + "Theatres/", program + "Extensions/", program + "Personalities/"};
}

bool endsWithNoCase(const std::string& path, const std::string& name) {
  return path.size() >= name.size() &&
         equalsNoCase(std::string_view(path).substr(path.size() - name.size()), name);
}

}  // namespace lmv
