#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace lmv {

bool fileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool lastWriteTime(const std::string& path, int64_t& ns) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  ns = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

bool touchFile(const std::string& path) {
  return utimensat(AT_FDCWD, path.c_str(), nullptr, 0) == 0;
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (dirent* e = readdir(dir)) {
    if (fnmatch(pattern.c_str(), e->d_name, FNM_CASEFOLD) != 0) continue;
    std::string full = folder + e->d_name;
    struct stat st;
    if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.emplace_back(e->d_name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

AtomicFile::AtomicFile(std::string path) : target(std::move(path)) {
  std::string pattern = target + ".tmpXXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) return;
  temp = pattern;
  file = fdopen(fd, "wb");
  if (!file) {
    close(fd);
    unlink(temp.c_str());
    temp.clear();
  }
}

AtomicFile::~AtomicFile() {
  if (file) fclose(file);
  if (!temp.empty()) unlink(temp.c_str());
}

bool AtomicFile::commit() {
  if (!file) return false;
  bool ok = fflush(file) == 0 && !ferror(file) && fsync(fileno(file)) == 0;
  ok = (fclose(file) == 0) && ok;
  file = nullptr;
  if (ok) {
    // Keep the permissions a user gave the file being replaced.
    struct stat st;
    if (stat(target.c_str(), &st) == 0)
      chmod(temp.c_str(), st.st_mode & 07777);
    else
      chmod(temp.c_str(), 0644);
    ok = rename(temp.c_str(), target.c_str()) == 0;
  }
  if (ok) temp.clear();
  return ok;
}

}  // namespace lmv
