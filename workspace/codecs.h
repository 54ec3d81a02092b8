// The packing steps the workspace uses on its files, behind one small interface so that a test can make a
// step fail on purpose; the product uses the real LZW codec and envelope with the compiled-in keys.
#pragma once

#include <filesystem>

namespace telvarim {

// Outcome of one packing step: done or failed, with the codec's own result code kept for the log (the LZW
// compressor's reason, the expander's code, the envelope's code).
struct ResultadoPasso {
  enum class Situacao { Feito, Falhou };
  Situacao situacao = Situacao::Feito;
  int codigo = 0;

  static ResultadoPasso Ok(int codigo = 0) { return {Situacao::Feito, codigo}; }
  static ResultadoPasso Falha(int codigo) { return {Situacao::Falhou, codigo}; }
  bool Feito() const { return situacao == Situacao::Feito; }
};

class Codecs {
 public:
  virtual ~Codecs() = default;
  // Opens a sealed received file with the system's private key, checking the central system's signature,
  // recipient index 0. A file that is not both signed and encrypted is refused (kErrEnvelopeNotSigned,
  // kErrEnvelopeNotEncrypted).
  virtual ResultadoPasso AbreSelado(const std::filesystem::path& selado, const std::filesystem::path& saida);
  virtual ResultadoPasso Expande(const std::filesystem::path& entrada, const std::filesystem::path& saida);
  virtual ResultadoPasso Compacta(const std::filesystem::path& entrada, const std::filesystem::path& saida);
  // Seals a request for the central system (DES-CBC, MD5, signed with the system's key).
  virtual ResultadoPasso Sela(const std::filesystem::path& entrada, const std::filesystem::path& saida);
};

Codecs& CodecsProduto();

}  // namespace telvarim
