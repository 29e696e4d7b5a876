#pragma once
// The theatre-file reader: a line-oriented, keyword-driven tokenizer with a short line
// history for push-back. Fixed buffers, nothing allocated per line; problems show in the
// state (ReadError is never left), never as exceptions.
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

namespace lmv {

class AtomicFile;

enum ReadState : int { ReadError = -1, ReadEnd = 0, ReadMismatch = 1, ReadOk = 2 };

// Opens with a C mode string and logs "Writing file: %s" or "Reading file: %s".
FILE* openLogged(const std::string& path, const char* mode);
// The same for a whole-file write that only replaces the target when committed.
std::unique_ptr<AtomicFile> openLoggedAtomic(const std::string& path);

class Load {
 public:
  static constexpr int kHistory = 10;
  static constexpr int kMaxTokens = 50;
  static constexpr int kBufSize = 100;
  // fgets limit: at most 98 characters of a physical line per read, the "\n" included.
  static constexpr int kReadLimit = 99;

  Load() = default;
  ~Load();
  Load(const Load&) = delete;
  Load& operator=(const Load&) = delete;

  // Opens path for reading; on failure tries path + ".ttr", leaving that in path.
  bool open(std::string& path);
  // Reads from an already open stream (taken over, closed by the reader).
  bool attach(FILE* stream);

  bool nextLine();
  bool pushBack();
  bool isKey(const char* keyword);
  bool stringAt(int i, std::string& out);
  bool intAt(int i, int& out);
  bool doubleAt(int i, double& out);

  int state = ReadMismatch;
  int tokenCount() const { return tokens; }
  const char* token(int i) const { return i >= 0 && i < tokens ? tokenBuf[i] : ""; }
  // The physical line in use (after push-back, the line given back).
  const char* currentLine() const { return history[current]; }

 private:
  void split(const char* line);

  FILE* file = nullptr;
  int tokens = 0;
  int pushed = 0;
  int current = 0;
  char history[kHistory][kBufSize] = {};
  char tokenBuf[kMaxTokens][kBufSize] = {};
};

}  // namespace lmv

namespace lmv {

// The section pattern every persisted class follows: the type line (unless typeWord is
// null), then key lines matched in the given order, each handled by onKey(index); the first
// unknown line ends the section and is given back to the enclosing one.
template <class OnKey>
void readSection(Load& in, const char* typeWord, std::initializer_list<const char*> keys,
                 OnKey&& onKey) {
  if (typeWord) {
    if (in.nextLine()) in.isKey(typeWord);
  }
  while (in.state == ReadOk) {
    if (!in.nextLine()) break;
    int index = 0;
    bool matched = false;
    for (const char* key : keys) {
      if (in.isKey(key)) {
        matched = true;
        break;
      }
      ++index;
    }
    if (!matched) {
      in.state = ReadMismatch;
      break;
    }
    onKey(index);
  }
  if (in.state > ReadEnd) in.pushBack();
}

// Scalar members: the value line after a key line.
bool readInt(Load& in, int& out);
bool readDouble(Load& in, double& out);
bool readString(Load& in, std::string& out);
// A retired member: its value line is skipped.
void skipValueLine(Load& in);

}  // namespace lmv
