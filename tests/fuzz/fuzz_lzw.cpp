// Expansion of arbitrary bytes: never a crash, a hang or an access outside the tables, whatever the result,
// and never more output than the cap allows (a few bytes of codes can ask for gigabytes; the cap is what
// keeps each run short). Every 32nd run (the first one included, so that a single input given to reproduce
// a failure takes the whole path) the input also goes through the stream form, which must agree with the
// byte form, and through compression, whose output must expand back to the input exactly. Those checks
// cost several times a plain expansion, so they stay the exception.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "lzw.h"

namespace {
constexpr telvarim::LzwOpcoes kCapped{.limiteSaida = std::uint64_t{4} << 20};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t n) {
  const std::span<const std::uint8_t> entrada(dados, n);

  std::vector<std::uint8_t> expandido;
  const int r = telvarim::lzw_expand(entrada, expandido, kCapped);
  if (r != telvarim::kLzwOk && r != telvarim::kLzwErroExpansao && r != telvarim::kLzwErroLimite) std::abort();
  if (expandido.size() > kCapped.limiteSaida) std::abort();
  static unsigned execucoes = 0;
  if (execucoes++ % 32 != 0) return 0;

  std::istringstream in(std::string(reinterpret_cast<const char*>(dados), n));
  std::ostringstream out;
  const int rs = telvarim::lzw_expand(in, out, kCapped);
  if (rs != r) std::abort();
  if (out.str().size() > kCapped.limiteSaida) std::abort();
  if (r == telvarim::kLzwOk && out.str() != std::string(expandido.begin(), expandido.end())) std::abort();

  std::vector<std::uint8_t> comprimido, volta;
  if (telvarim::lzw_compress(entrada, comprimido) != telvarim::kLzwOk) std::abort();
  if (telvarim::lzw_expand(comprimido, volta) != telvarim::kLzwOk) std::abort();
  if (volta != std::vector<std::uint8_t>(dados, dados + n)) std::abort();
  return 0;
}
