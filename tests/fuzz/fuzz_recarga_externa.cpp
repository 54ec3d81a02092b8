// Fuzz target: arbitrary bytes as an external value file. Every record is read and every field converted;
// the reader must agree with a plain split of the bytes into lines (CR LF, LF and CR each end a line, a last
// line without a line end counts), its count must stop at any limit asked, and the same bytes written in text
// mode must read back as the split of what was written. Nothing may crash, throw or hang.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "arquivo.h"
#include "persrecargaexterna.h"
#include "resultadoimportacao.h"

namespace fs = std::filesystem;
using namespace telvarim;

namespace {

fs::path& PastaTemporaria() {
  static fs::path pasta;
  return pasta;
}

fs::path Pasta() {
  fs::path& pasta = PastaTemporaria();
  if (pasta.empty()) {
    std::random_device rd;
    pasta = fs::temp_directory_path() / ("telvarim-fuzz-rrm-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(pasta);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(PastaTemporaria(), ec);
    });
  }
  return pasta;
}

void Exige(bool condicao) {
  if (!condicao) std::abort();
}

// The lines of the bytes as the reader must see them.
std::vector<std::string> Linhas(std::string_view dados) {
  std::vector<std::string> linhas;
  std::string atual;
  bool aberta = false;
  for (std::size_t i = 0; i < dados.size(); ++i) {
    const char c = dados[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < dados.size() && dados[i + 1] == '\n') ++i;
      linhas.push_back(std::move(atual));
      atual.clear();
      aberta = false;
    } else {
      atual += c;
      aberta = true;
    }
  }
  if (aberta) linhas.push_back(std::move(atual));
  return linhas;
}

// The bytes as a text-mode write puts them on the disk: each LF as CR LF.
std::string ComoGravado(std::string_view dados) {
  std::string r;
  for (char c : dados) {
    if (c == '\n') r += '\r';
    r += c;
  }
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view dados(reinterpret_cast<const char*>(data), size);
  const fs::path entrada = Pasta() / "entrada.rrm";
  const fs::path copia = Pasta() / "copia.rrm";
  std::ofstream(entrada, std::ios::binary).write(dados.data(), static_cast<std::streamsize>(dados.size()));
  const std::vector<std::string> esperadas = Linhas(dados);
  const auto quantas = static_cast<std::int32_t>(esperadas.size());

  {
    PersRecargaExterna leitor;
    Exige(leitor.Abre(entrada));
    const std::int32_t limite = size > 0 ? data[0] % 16 : 0;
    Exige(leitor.QuantidadeRegistros(limite) == (quantas < limite ? quantas : limite));
    Exige(leitor.QuantidadeRegistros() == quantas);
    std::size_t lidos = 0;
    std::string resultado;
    while (lidos <= esperadas.size()) {
      const bool ok = leitor.LeRegistro(entrada);
      const std::uint8_t s = leitor.Situacao();
      Exige(ok == (s == kSituacaoSucesso));
      Exige(s <= kSituacaoCodigoArquivoInvalido && s != kSituacaoErroAbertura);
      Exige(!leitor.MensagemSituacao().empty());
      if (s == kSituacaoFimArquivo) break;
      Exige(lidos < esperadas.size());
      const std::string& esperada = esperadas[lidos++];
      if (s == kSituacaoErroLeitura)
        Exige(esperada.size() > Arquivo::kTamanhoMaximoLinha && leitor.Registro().empty());
      else
        Exige(leitor.Registro() == esperada);
      volatile double valor = leitor.ValorRegistro();
      (void)valor;
      volatile std::int64_t soma = std::int64_t{leitor.IdRegistro()} + leitor.EmpresaRegistro() +
                                   leitor.CodigoArquivoRegistro() + leitor.TipoCartaoRegistro();
      (void)soma;
      Exige(leitor.ComplementoRegistro().size() <= 2);
      const std::string matricula = leitor.MatriculaRegistro();
      Exige(matricula.size() <= 21);
      resultado = LinhaResultadoImportacao(std::to_string(lidos), matricula, leitor.MensagemSituacao());
      Exige(resultado.size() >= 13 + 3 + 21);
    }
    Exige(lidos == esperadas.size());
  }

  // The same lines through a text-mode write and back.
  {
    Arquivo a;
    Exige(a.Abre(copia, Arquivo::ModoGravacao));
    Exige(a.GravaLinha(dados));
    const std::vector<std::string> gravadas = Linhas(ComoGravado(dados));
    Exige(a.ContaLinhas() == static_cast<std::int32_t>(gravadas.size()));
    for (const std::string& esperada : gravadas) {
      Exige(a.TemLinha());
      if (esperada.size() > Arquivo::kTamanhoMaximoLinha) {
        Exige(!a.LeLinha());
      } else {
        Exige(a.LeLinha());
        Exige(a.Linha() == esperada);
      }
    }
    Exige(!a.TemLinha() && !a.LeLinha());
    Exige(a.Fecha());
  }
  return 0;
}
