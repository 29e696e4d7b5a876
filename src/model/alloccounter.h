#pragma once
// Live-allocation bookkeeping carried by every model class. Ownership itself is RAII; the
// counter stays for objects that hand-manage something (and for the report a leak produces):
// a non-zero count at destruction is reported at the fatal level, never thrown.

namespace lmv {

class AllocCounter {
 public:
  explicit AllocCounter(const char* className) : className_(className) {}
  AllocCounter(const AllocCounter& other) : className_(other.className_) {}
  AllocCounter& operator=(const AllocCounter&) { return *this; }  // counts stay with objects
  ~AllocCounter();

  void adjust(int n) { count_ += n; }
  int allocCount() const { return count_; }
  const char* className() const { return className_; }

 private:
  const char* className_;
  int count_ = 0;
};

}  // namespace lmv
