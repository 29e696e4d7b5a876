#include "base/runlog.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace lmv {
namespace {

RunLog* theLog = nullptr;
StatusSink statusSink;

constexpr long kRotateAbove = 100000;

void createFolders(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0777);  // failures ignored
  }
}

void emit(int threshold, const char* label, const char* format, va_list args) {
  char text[kLogTextMax + 1];
  vsnprintf(text, sizeof text, format, args);
  if (statusSink) statusSink(text);
  if (theLog && theLog->level() >= threshold) theLog->writeLine(label, text);
}

}  // namespace

void setStatusSink(StatusSink sink) {
  statusSink = std::move(sink);
}

RunLog::RunLog(const std::string& p) : path(p) {
  file = fopen(path.c_str(), "a");
  if (!file) {
    createFolders(path);
    file = fopen(path.c_str(), "a");
  }
  if (file) theLog = this;
}

RunLog::~RunLog() {
  if (file) fclose(file);
  if (theLog == this) theLog = nullptr;
}

RunLog* RunLog::global() {
  return theLog;
}

void RunLog::writeLine(const char* label, const char* text) {
  if (!file) file = fopen(path.c_str(), "a");
  if (!file) return;
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  char stamp[64];
  asctime_r(&local, stamp);
  if (char* nl = strchr(stamp, '\n')) *nl = '\0';
  fprintf(file, "%s  %s  %s\n", stamp, label, text);
  fflush(file);
  if (ftell(file) > kRotateAbove) {
    fclose(file);
    file = nullptr;
    // The rotation keeps one old generation; rename replaces an existing one.
    rename(path.c_str(), (path + ".old").c_str());
    file = fopen(path.c_str(), "a");
  }
}

#define LMV_LOG_OP(name, threshold, label) \
  void name(const char* format, ...) {     \
    va_list args;                          \
    va_start(args, format);                \
    emit(threshold, label, format, args);  \
    va_end(args);                          \
  }

LMV_LOG_OP(logFatal, 1, "Fatal Error       ")
LMV_LOG_OP(logError, 2, "Recoverable Error ")
LMV_LOG_OP(logWarning, 3, "Warning           ")
LMV_LOG_OP(logStatus, 4, "Status information")
LMV_LOG_OP(logSystem, -2147483647 - 1, "System information")
#undef LMV_LOG_OP

std::string logFilePath(const std::string& programFolder) {
  std::string folder;
  if (const char* appdata = getenv("APPDATA")) {
    folder = appdata;
  } else if (const char* xdg = getenv("XDG_DATA_HOME"); xdg && *xdg) {
    folder = xdg;
  } else if (const char* home = getenv("HOME"); home && *home) {
    folder = std::string(home) + "/.local/share";
  }
  if (folder.empty() || folder.size() >= 100) return programFolder + "log.txt";
  return folder + "/Korvalis/Lumivor/log.txt";
}

}  // namespace lmv
