// open_file on arbitrary bytes, with the product's keys: damaged headers, lengths, recipient counts,
// bodies and signatures must give a code, never a read out of bounds, and never leave an output behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "chaves.h"
#include "envelope.h"

namespace {

namespace fs = std::filesystem;

struct Pasta {
  fs::path caminho;
  Pasta() {
    std::random_device rd;
    caminho = fs::temp_directory_path() / ("fuzz_envelope_" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(caminho);
  }
  ~Pasta() {
    std::error_code ec;
    fs::remove_all(caminho, ec);
  }
};

const Pasta& Trabalho() {
  static const Pasta p;
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path in = Trabalho().caminho / "in.rec";
  const fs::path out = Trabalho().caminho / "out";
  {
    std::ofstream f(in, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const int r = telvarim::open_file(in, out, telvarim::ChavePrivadaSistema(), telvarim::ChavePublicaCentral(), 0);
  std::error_code ec;
  if (r != 0 && fs::exists(out, ec)) std::abort();            // a failure left its output behind
  if (r == 0 && fs::file_size(out, ec) > size) std::abort();  // more plain bytes than the file holds
  fs::remove(out, ec);
  return 0;
}
