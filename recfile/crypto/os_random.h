// The operating system's source of unpredictable bytes.
#pragma once

#include <cstddef>

namespace telvarim {

// Fills buf with len bytes from the system generator. 0 on success, kErrNeedRandom when the system gives
// none.
int os_random_bytes(unsigned char* buf, std::size_t len) noexcept;

}  // namespace telvarim
