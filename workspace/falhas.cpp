#include "falhas.h"

#include "cp1252.h"
#include "pastas.h"
#include "safe_file.h"

namespace telvarim {

using namespace literais;

CausaFalha CausaCodec(Codec codec, const char* operation, int codigo, const CodecFiles& arquivos) {
  return {codigo, codec_result_text(codec, codigo, arquivos, Language::kPortuguese),
          std::string(operation) + ": " + Cp1252ParaUtf8(codec_result_text(codec, codigo, arquivos))};
}

CausaFalha CausaSistema(const char* operation, const std::error_code& erro, const std::filesystem::path& arquivo) {
  const std::string sistema = system_error_text(erro);  // UTF-8
  const std::string nome = "'" + TextoCaminho(arquivo) + "': ";
  return {erro.value(), nome + Utf8ParaCp1252(sistema), std::string(operation) + ": " + Cp1252ParaUtf8(nome) + sistema};
}

CausaFalha CausaLinhas(std::size_t limite) {
  const std::string n = std::to_string(limite);
  return {0, "o arquivo expandido tem mais de " + n + " linhas (danificado ou de outra origem)",
          "read: the expanded file has more than " + n + " lines (damaged or foreign data)"};
}

CausaFalha CausaMemoria() { return {0, "memória insuficiente"_cp, "out of memory"}; }

std::string LinhaMotivo(const CausaFalha& c) {
  std::string l = " ==> Motivo : ";
  if (c.codigo != 0) l += "erro " + std::to_string(c.codigo) + " - ";
  return l + c.motivo;
}

std::string MensagemMemoria() { return "Memória insuficiente para concluir a operação - Verifique!"_cp; }

}  // namespace telvarim
