#include "respostas.h"

#include <fstream>
#include <vector>

#include "cp1252.h"
#include "numbers.h"
#include "pastas.h"
#include "safe_file.h"

namespace fs = std::filesystem;

namespace telvarim {

namespace {

std::vector<std::string> Campos(const std::string& linha) {
  std::vector<std::string> c(1);
  for (char ch : linha) {
    if (ch == '\t')
      c.emplace_back();
    else if (ch != '\r')
      c.back() += ch;
  }
  return c;
}

}  // namespace

std::optional<RegistroResposta> RespostaRegistrada(const fs::path& raiz, IdentidadeRecebido id) {
  std::ifstream in(raiz / CaminhoDeTexto(std::string(kArquivoRespostas)), std::ios::binary);
  std::string linha;
  while (std::getline(in, linha)) {
    const std::vector<std::string> c = Campos(linha);
    if (c.size() != 5) continue;
    const std::optional<std::int32_t> empresa = LeInteiro(c[0]), sequencia = LeInteiro(c[1]);
    if (!empresa || !sequencia || *empresa != id.empresa || *sequencia != id.sequencia) continue;
    return RegistroResposta{id, c[2], c[3], c[4]};
  }
  return std::nullopt;
}

std::error_code RegistraResposta(const fs::path& raiz, const RegistroResposta& r) {
  const fs::path livro = raiz / CaminhoDeTexto(std::string(kArquivoRespostas));
  const std::string linha = std::to_string(r.identidade.empresa) + '\t' + std::to_string(r.identidade.sequencia) +
                            '\t' + r.recebido + '\t' + r.pedido + '\t' + r.quando + "\r\n";
  {
    std::ofstream out(livro, std::ios::binary | std::ios::app);
    // A line that a crash cut short is passed over by the reader; a new line starts clean after it.
    out << linha;
    out.flush();
    if (!out) return std::make_error_code(std::errc::io_error);
  }
  return sync_file(livro);
}

std::optional<std::string> PedidoEmGerados(const fs::path& gerados, IdentidadeRecebido id) {
  const std::string prefixo =
      "RM_" + FormataInteiro(id.empresa, "000000") + "_" + FormataInteiro(id.sequencia, "0000") + "_";
  for (const std::string& nome : ListaArquivos(gerados, "RM_*.REC")) {
    const std::string n = MaiusculasCp1252(nome);
    // RM_cccccc_ssss_YYMMDDHHNN_2.REC
    if (n.size() != prefixo.size() + 10 + 6 || n.compare(0, prefixo.size(), prefixo) != 0) continue;
    bool digitos = true;
    for (std::size_t i = prefixo.size(); i < prefixo.size() + 10; ++i) digitos = digitos && n[i] >= '0' && n[i] <= '9';
    const std::string fim = n.substr(prefixo.size() + 10);
    if (digitos && (fim == "_2.REC" || fim == "_4.REC")) return nome;
  }
  return std::nullopt;
}

}  // namespace telvarim
