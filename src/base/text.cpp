#include "base/text.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace lmv {

int formatInto(char* buf, size_t n, const char* fmt, ...) {
  if (n == 0) return 0;
  va_list args;
  va_start(args, fmt);
  int r = vsnprintf(buf, n, fmt, args);
  va_end(args);
  return r;
}

std::string format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list again;
  va_copy(again, args);
  int len = vsnprintf(nullptr, 0, fmt, args);
  va_end(args);
  std::string out(len > 0 ? size_t(len) : 0, '\0');
  if (len > 0) vsnprintf(out.data(), out.size() + 1, fmt, again);
  va_end(again);
  return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

void copyInto(char* dst, size_t n, std::string_view src) {
  if (n == 0) return;
  size_t len = src.size() < n - 1 ? src.size() : n - 1;
  memcpy(dst, src.data(), len);
  dst[len] = '\0';
}

}  // namespace lmv
