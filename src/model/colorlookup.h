#pragma once
// What a colour filter needs of the theatre's colour table: its size and an entry's RGB.

namespace lmv {

class ColorLookup {
 public:
  virtual ~ColorLookup() = default;
  virtual int colorCount() const = 0;
  // Components 0..255 of entry index, the index clamped into the table.
  virtual void colorRgb(int index, int rgb[3]) const = 0;
};

}  // namespace lmv
