// Fuzz target: arbitrary bytes as an external value file. Every record is read and every field converted;
// the reader must agree with a plain split of the bytes into lines (LF ends a line, a CR before it goes, a
// last line without a line end counts), and the same lines written in text mode must read back unchanged.
// Nothing may crash, throw or hang.
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

// The lines of the bytes as the reader must see them. Written in text mode each LF became CR LF, so only the
// CR that was added goes, and a CR of the bytes before a LF stays (`gravadas`).
std::vector<std::string> Linhas(std::string_view dados, bool gravadas) {
  std::vector<std::string> linhas;
  std::size_t inicio = 0;
  while (inicio < dados.size()) {
    std::size_t fim = dados.find('\n', inicio);
    const bool terminada = fim != std::string_view::npos;
    if (!terminada) fim = dados.size();
    std::string l(dados.substr(inicio, fim - inicio));
    if ((!terminada || !gravadas) && !l.empty() && l.back() == '\r') l.pop_back();
    linhas.push_back(std::move(l));
    inicio = terminada ? fim + 1 : fim;
  }
  return linhas;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view dados(reinterpret_cast<const char*>(data), size);
  const fs::path entrada = Pasta() / "entrada.rrm";
  const fs::path copia = Pasta() / "copia.rrm";
  std::ofstream(entrada, std::ios::binary).write(dados.data(), static_cast<std::streamsize>(dados.size()));
  const std::vector<std::string> esperadas = Linhas(dados, false);

  {
    PersRecargaExterna leitor;
    Exige(leitor.Abre(entrada));
    Exige(leitor.QuantidadeRegistros() == static_cast<std::int32_t>(esperadas.size()));
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
    const std::vector<std::string> gravadas = Linhas(dados, true);
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
