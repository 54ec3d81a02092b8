// Overwriting secrets before their memory is given back.
#pragma once

#include <cstddef>

namespace telvarim {

// Writes zeros over n bytes at p. Unlike memset on a buffer that is about to die, the compiler cannot drop it.
void secure_zero(void* p, std::size_t n) noexcept;

// Zeros an object (or array) when the scope ends, on every return path.
template <class T>
class WipeOnExit {
 public:
  explicit WipeOnExit(T& object) noexcept : object_(object) {}
  ~WipeOnExit() { secure_zero(&object_, sizeof(T)); }
  WipeOnExit(const WipeOnExit&) = delete;
  WipeOnExit& operator=(const WipeOnExit&) = delete;

 private:
  T& object_;
};

}  // namespace telvarim
