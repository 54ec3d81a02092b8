// The packing steps the workspace uses on its files, behind one small interface so that a test can make a
// step fail on purpose; the product uses the real LZW codec and envelope with the compiled-in keys.
#pragma once

#include <filesystem>

namespace telvarim {

class Codecs {
 public:
  virtual ~Codecs() = default;
  // Opens a sealed received file with the system's private key, checking the central system's signature,
  // recipient index 0. 0 when done, else the envelope's code.
  virtual int AbreSelado(const std::filesystem::path& selado, const std::filesystem::path& saida);
  // 0 when done.
  virtual int Expande(const std::filesystem::path& entrada, const std::filesystem::path& saida);
  // 1 when done, 0 when failed.
  virtual int Compacta(const std::filesystem::path& entrada, const std::filesystem::path& saida);
  // Seals a request for the central system (DES-CBC, MD5, signed with the system's key). 0 when done.
  virtual int Sela(const std::filesystem::path& entrada, const std::filesystem::path& saida);
};

Codecs& CodecsProduto();

}  // namespace telvarim
