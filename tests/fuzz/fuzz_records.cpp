// Fuzz target: the text of a received file, as it comes out of the envelope and the expander, through the
// whole processing (record readers, tables, the view), the grid's cells, a typed value, the totals, the
// ordering, the listing, and then a draft written from what was read (the record formatters). Nothing may
// crash, hang or touch memory outside the tables.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cadastrotelvarim.h"
#include "lzw.h"
#include "pastas.h"

namespace fs = std::filesystem;
using namespace telvarim;

namespace {

// Opening and expanding hand the fuzzed text straight to the reader; packing keeps the text as it is.
class CodecsDiretos : public Codecs {
 public:
  ResultadoPasso AbreSelado(const fs::path& e, const fs::path& s) override { return Copia(e, s); }
  ResultadoPasso Expande(const fs::path& e, const fs::path& s) override { return Copia(e, s); }
  ResultadoPasso Compacta(const fs::path& e, const fs::path& s) override { return Copia(e, s); }
  ResultadoPasso Sela(const fs::path& e, const fs::path& s) override { return Copia(e, s); }

 private:
  static ResultadoPasso Copia(const fs::path& e, const fs::path& s) {
    std::error_code ec;
    fs::copy_file(e, s, fs::copy_options::overwrite_existing, ec);
    return ec ? ResultadoPasso::Falha(1) : ResultadoPasso::Ok();
  }
};

fs::path Raiz() {
  static fs::path raiz = [] {
    fs::path r =
        fs::temp_directory_path() / ("telvarim-fuzz-" + std::to_string(static_cast<unsigned long>(std::rand())));
    fs::create_directories(r / "Recebidos");
    return r;
  }();
  return raiz;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path raiz = Raiz();
  {
    std::ofstream(raiz / "Recebidos" / "F_1.rec", std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  static OperadorRoteirizado op;
  static Tabelas tabelas;
  static ValoresPrograma programa;
  static CodecsDiretos codecs;
  op = OperadorRoteirizado{};
  CadastroTelvarim c(op, PastasTrabalho(raiz), tabelas, programa, RelogioPadrao(), codecs);
  c.AtualizaListas();
  c.Processa();
  if (c.PaginaAtiva == CadastroTelvarim::Pagina::Digitacao) {
    // A few views, each read cell by cell as the grid paints it, with a value typed on one row.
    for (std::size_t i = 0; i < c.TiposDoArquivo.size() && i < 3; ++i) {
      c.MostraTipoTarifa(c.TiposDoArquivo[i], c.TarifasDoArquivo[i % c.TarifasDoArquivo.size()]);
      for (int l = 0; l < c.QtdLinhas() && l < 50; ++l)
        for (int col = 0; col < c.Colunas(); ++col) (void)c.TextoCelula(l, col);
      if (c.QtdLinhas() > 0) c.DigitaValor(static_cast<int>(size % static_cast<std::size_t>(c.QtdLinhas())), "1,5");
      (void)c.TotaisVista();
    }
    (void)c.TotaisArquivo();
    c.Classifica(ClassificacaoDoItem(static_cast<int>(size % 3)));
    (void)c.RelatorioListagem();
    c.SalvaRascunho();
  }
  std::error_code ec;
  for (const char* p : {"Processados", "Rascunho"}) fs::remove_all(raiz / p, ec);
  return 0;
}
