#pragma once
// Small text helpers shared by every library: bounded formatting into fixed sizes and
// case-insensitive comparison. Nothing here allocates unless it returns a std::string.
#include <cstddef>
#include <string>
#include <string_view>

namespace lmv {

// printf into buf of size n (n includes the terminator); the result is cut, never overrun.
int formatInto(char* buf, size_t n, const char* format, ...) __attribute__((format(printf, 3, 4)));
std::string format(const char* format, ...) __attribute__((format(printf, 1, 2)));

bool equalsNoCase(std::string_view a, std::string_view b);
// strncpy that always terminates: copies at most n - 1 characters.
void copyInto(char* dst, size_t n, std::string_view src);

}  // namespace lmv
