#include "report/compass.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "base/text.h"
#include "report/reportrow.h"

namespace lmv {

namespace {

// Degrees of a direction letter, -1 for any other character.
int direction(char c) {
  switch (c) {
    case 'E':
    case 'e':
      return 0;
    case 'S':
    case 's':
      return 90;
    case 'W':
    case 'w':
      return 180;
    case 'N':
    case 'n':
      return 270;
    default:
      return -1;
  }
}

}  // namespace

void compassText(int angle, char (&out)[kCompassTextSize]) {
  int64_t a = angle;
  if (a < 0)
    a += 360;
  else if (a >= 360)
    a -= 360;
  out[0] = '\0';
  if (a < 0 || a > 359) return;
  const int v = int(a);
  if (v == 0)
    copyInto(out, sizeof out, "E");
  else if (v < 90)
    formatInto(out, sizeof out, "S%dE", 90 - v);
  else if (v == 90)
    copyInto(out, sizeof out, "S");
  else if (v < 180)
    formatInto(out, sizeof out, "S%dW", v - 90);
  else if (v == 180)
    copyInto(out, sizeof out, "W");
  else if (v < 270)
    formatInto(out, sizeof out, "N%dW", 270 - v);
  else if (v == 270)
    copyInto(out, sizeof out, "N");
  else
    formatInto(out, sizeof out, "N%dE", v - 270);
}

int compassAngle(const char* text, bool* understood) {
  if (understood) *understood = true;
  const size_t len = strlen(text);
  if (len == 0) return 0;
  const int a1 = direction(text[0]);
  int a2 = direction(text[len - 1]);
  if (a1 < 0 || a2 < 0) {
    int y = 0;
    if (parseInt(text, y)) return y;
    if (understood) *understood = false;
    return 0;
  }
  int d = 0;
  if (len == 1)
    d = 0;
  else if (len == 2)
    d = 45;
  else if (!parseInt(text + 1, d))
    d = 0;
  if (a1 == 270 && a2 == 0) a2 = 360;
  // Wide arithmetic: the degrees come from the file and may be any int.
  const int64_t y = int64_t(a2 - a1) * d / 90 + a1;
  return y < INT_MIN ? INT_MIN : y > INT_MAX ? INT_MAX : int(y);
}

}  // namespace lmv
