#pragma once
// Intrusive doubly linked list: an entry can sit in a list without a separate node, and in
// two lists at once through two hooks (objects in the object list and in a group). The list
// never owns its entries; append order is kept and removal is O(1).

namespace lmv {

template <class T>
struct LinkedListEntry {
  T* next = nullptr;
  T* prev = nullptr;
  bool linked = false;
};

template <class T, LinkedListEntry<T> T::*Hook>
class LinkedList {
 public:
  T* first() const { return head_; }
  T* last() const { return tail_; }
  int size() const { return size_; }
  bool empty() const { return size_ == 0; }
  static T* next(const T* e) { return (e->*Hook).next; }
  static T* prev(const T* e) { return (e->*Hook).prev; }
  static bool contains(const T* e) { return (e->*Hook).linked; }

  void append(T* e) {
    auto& h = e->*Hook;
    if (h.linked) return;
    h.prev = tail_;
    h.next = nullptr;
    h.linked = true;
    if (tail_)
      (tail_->*Hook).next = e;
    else
      head_ = e;
    tail_ = e;
    ++size_;
  }

  void remove(T* e) {
    auto& h = e->*Hook;
    if (!h.linked) return;
    if (h.prev)
      (h.prev->*Hook).next = h.next;
    else
      head_ = h.next;
    if (h.next)
      (h.next->*Hook).prev = h.prev;
    else
      tail_ = h.prev;
    h.next = h.prev = nullptr;
    h.linked = false;
    --size_;
  }

  // The entry n steps from the head, or nullptr when the list is shorter.
  T* nth(int n) const {
    if (n < 0) return nullptr;
    T* e = head_;
    while (e && n-- > 0) e = (e->*Hook).next;
    return e;
  }

  int indexOf(const T* e) const {
    int i = 0;
    for (T* p = head_; p; p = (p->*Hook).next, ++i)
      if (p == e) return i;
    return -1;
  }

  class iterator {
   public:
    explicit iterator(T* e) : e_(e) {}
    T* operator*() const { return e_; }
    iterator& operator++() {
      e_ = (e_->*Hook).next;
      return *this;
    }
    bool operator!=(const iterator& o) const { return e_ != o.e_; }

   private:
    T* e_;
  };
  iterator begin() const { return iterator(head_); }
  iterator end() const { return iterator(nullptr); }

 private:
  T* head_ = nullptr;
  T* tail_ = nullptr;
  int size_ = 0;
};

}  // namespace lmv
