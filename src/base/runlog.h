#pragma once
// The one log of a program run: five printf-style operations that show their text in the
// status sink at once and append it to log.txt when the level lets that kind through.
// Failures to open or write are silent; the log never throws.
#include <cstdio>
#include <functional>
#include <string>

namespace lmv {

// Receives every formatted message (the main window puts it into its status bar).
using StatusSink = std::function<void(const char* text)>;
void setStatusSink(StatusSink sink);

class RunLog {
 public:
  // Opens the file for appending, creating missing folders; becomes the global log when open.
  explicit RunLog(const std::string& path);
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  void setLevel(int level) { logLevel = level; }
  int level() const { return logLevel; }
  const std::string& filePath() const { return path; }
  void writeLine(const char* label, const char* text);

  static RunLog* global();

 private:
  FILE* file = nullptr;
  int logLevel = 2;
  std::string path;
};

// Longest message text; longer results are cut.
constexpr int kLogTextMax = 199;

void logFatal(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logStatus(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logSystem(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where the log lives: $APPDATA (else the XDG data folder) + "/Korvalis/Lumivor/log.txt";
// without a usable folder (missing, empty, 100 characters or longer) programFolder + "log.txt".
std::string logFilePath(const std::string& programFolder);

}  // namespace lmv
