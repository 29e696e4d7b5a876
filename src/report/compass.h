#pragma once
// The "Angle to stage" column of a light: its angle about y as compass text, E = 0, S = 90,
// W = 180, N = 270, with the degrees off the nearer of S and N in between ("S30E" is 60).

namespace lmv {

// Longest text written, terminator included.
constexpr int kCompassTextSize = 16;

// Writes the compass text of an angle in degrees into out; empty when the angle is still
// outside 0..359 after one turn has been added or taken off.
void compassText(int angle, char (&out)[kCompassTextSize]);

// Reads a compass text back; a text that is not one ("45", "-90") is read as a number, and
// anything else gives 0 with understood (when given) set to false.
int compassAngle(const char* text, bool* understood = nullptr);

}  // namespace lmv
