// The one platform-specific file of the cryptographic library.
#include "crypto/os_random.h"

#include "crypto/errors.h"
#include "windows_sistema.h"

#if defined(_WIN32)
// After windows.h, whose types it uses.
#include <bcrypt.h>
#elif defined(__linux__)
#include <sys/random.h>
#include <cerrno>
#include <cstdio>
#else
#include <cstdio>
#endif

namespace telvarim {

int os_random_bytes(unsigned char* buf, std::size_t len) noexcept {
#if defined(_WIN32)
  while (len > 0) {
    const ULONG chunk = len > 0x10000000u ? 0x10000000u : static_cast<ULONG>(len);
    const NTSTATUS estado = BCryptGenRandom(nullptr, buf, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (estado < 0) return kErrNeedRandom;  // NTSTATUS: negative values are errors
    buf += chunk;
    len -= chunk;
  }
  return 0;
#else
#if defined(__linux__)
  std::size_t done = 0;
  while (done < len) {
    const ssize_t got = getrandom(buf + done, len - done, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      break;  // e.g. ENOSYS on an old kernel: fall back to the device
    }
    done += static_cast<std::size_t>(got);
  }
  if (done == len) return 0;
  buf += done;
  len -= done;
#endif
  std::FILE* device = std::fopen("/dev/urandom", "rb");
  if (device == nullptr) return kErrNeedRandom;
  const std::size_t got = std::fread(buf, 1, len, device);
  std::fclose(device);
  return got == len ? 0 : kErrNeedRandom;
#endif
}

}  // namespace telvarim
