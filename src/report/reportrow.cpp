#include "report/reportrow.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace lmv {

bool ReportRow::split(const char* line) {
  fieldCount = 0;
  tooLongField = 0;
  const char* p = line;
  while (fieldCount < kMaxFields) {
    const char* end = strchr(p, ',');
    size_t len = end ? size_t(end - p) : strlen(p);
    if (len > size_t(kFieldMax)) {
      tooLongField = fieldCount + 1;
      fieldCount = 0;
      return false;
    }
    memcpy(fields[fieldCount], p, len);
    fields[fieldCount][len] = '\0';
    ++fieldCount;
    if (!end) break;
    p = end + 1;
  }
  return true;
}

const char* ReportRow::field(int n) const {
  return n >= 1 && n <= fieldCount ? fields[n - 1] : "";
}

bool ReportRow::intField(int n, int& out) const {
  return parseInt(field(n), out);
}

bool ReportRow::doubleField(int n, double& out) const {
  return parseDouble(field(n), out);
}

bool parseInt(const char* text, int& out, const char** end) {
  const char* p = text;
  while (isspace(static_cast<unsigned char>(*p))) ++p;
  const char* digits = (*p == '+' || *p == '-') ? p + 1 : p;
  if (*digits < '0' || *digits > '9') return false;
  errno = 0;
  char* stop = nullptr;
  long v = strtol(p, &stop, 10);
  if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  out = int(v);
  if (end) *end = stop;
  return true;
}

bool parseDouble(const char* text, double& out) {
  char* end = nullptr;
  double v = strtod(text, &end);
  if (end == text || !std::isfinite(v)) return false;
  out = v;
  return true;
}

}  // namespace lmv
