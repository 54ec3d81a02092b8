#include "partial_output.h"

#include <system_error>

namespace telvarim {

PartialOutputGuard::~PartialOutputGuard() {
  if (!armed_) return;
  std::error_code ec;
  if (std::filesystem::is_regular_file(path_, ec)) std::filesystem::remove(path_, ec);
}

}  // namespace telvarim
