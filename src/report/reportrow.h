#pragma once
// One line of a rig report split into its comma-separated fields, held in fixed buffers:
// at most 29 fields of at most 99 characters each. Fields are numbered from 1 as in the
// report's column header; a missing field reads as empty text. Nothing allocates and no
// field is read past its buffer.
#include <cstddef>

namespace lmv {

class ReportRow {
 public:
  static constexpr int kMaxFields = 29;
  static constexpr int kFieldMax = 99;

  // Splits a line (its end-of-line already removed). Fields beyond the 29th are dropped.
  // False when a field is longer than kFieldMax: its number is in tooLongField and the row
  // should not be used.
  bool split(const char* line);

  int count() const { return fieldCount; }
  // Field n (1-based); "" when the line has fewer fields.
  const char* field(int n) const;
  bool empty(int n) const { return field(n)[0] == '\0'; }
  // "%d" and "%lf" readings of a field; false when it gives no number.
  bool intField(int n, int& out) const;
  bool doubleField(int n, double& out) const;

  int tooLongField = 0;

 private:
  int fieldCount = 0;
  char fields[kMaxFields][kFieldMax + 1] = {};
};

// Reads an integer the way "%d" does (leading blanks, a sign, digits; anything may follow).
// False without digits or when the number does not fit an int. end, when given, receives
// where the number stops.
bool parseInt(const char* text, int& out, const char** end = nullptr);
// Reads a real the way "%lf" does; false without a number or for infinities and NaN.
bool parseDouble(const char* text, double& out);

}  // namespace lmv
