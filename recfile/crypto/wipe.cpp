#include "crypto/wipe.h"

namespace telvarim {

void secure_zero(void* p, std::size_t n) noexcept {
  // Stores through a volatile pointer are observable behaviour, so they survive dead-store elimination even
  // when the buffer is never read again; the barrier keeps them ordered before whatever frees the memory.
  volatile unsigned char* bytes = static_cast<volatile unsigned char*>(p);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = 0;
#if defined(__GNUC__) || defined(__clang__)
  __asm__ __volatile__("" : : "r"(p) : "memory");
#endif
}

}  // namespace telvarim
