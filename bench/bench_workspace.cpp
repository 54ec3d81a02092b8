// The workspace engine on a 10000-holder received file, all holders in one card type and one tariff (the
// largest grid the workspace can show): processing (opening the seal, expanding, reading, the first grid
// fill), the grid fill alone, the write-back, ordering by each key and the generation of the request.
//
// For the write-back and the ordering the straightforward algorithms are measured beside ours: comparing
// every holder with every grid row, and the exchange sort that builds both keys of every compared pair anew.
// Both are quadratic, so they run on 2000 rows and the time is scaled by (10000 / 2000)^2 to the full grid.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "amostra.h"
#include "amostra_selada.h"
#include "cadastrotelvarim.h"
#include "chaves.h"
#include "chaves_central.h"
#include "classificacao.h"
#include "comum_bench.h"
#include "cp1252.h"
#include "envelope.h"
#include "lzw.h"
#include "pastas.h"

namespace fs = std::filesystem;
using namespace telvarim;
using telvarim::bench::Mediana;

namespace {

constexpr int kPortadores = 10000;
constexpr int kLinhasReferencia = 2000;

class OperadorMudo : public OperadorRoteirizado {
 public:
  void LogAcrescenta(const std::string& l) override { OperadorRoteirizado::LogAcrescenta(l); }
};

// Every holder against every grid row, group by group: the write-back as first described.
void EscritaQuadratica(CadastroTelvarim& c, Tabelas& tab) {
  const GradeTexto& g = c.sgRecarga;
  for (int i = 0; i < c.QtdUsuarios; ++i) {
    RegUsuario& u = tab.Usuarios[static_cast<std::size_t>(i)];
    for (int j = 1; j < g.RowCount(); ++j)
      for (auto& gr : u.Grupos)
        if (InteiroOuPadrao(Trim(g.Cell(0, j)), -1) == u.CodUsuario &&
            InteiroOuPadrao(Trim(g.Cell(1, j)), -1) == u.NumCartao && g.Cell(2, j) == u.Matricula &&
            u.TipoCartao == c.TipoCartaoAtual && gr.Tarifa == c.TarifaAtual) {
          gr.ValorRecarga = DoubleDeMoeda(TextoParaMoeda(Trim(g.Cell(5, j))));
          break;
        }
  }
}

// Adjacent exchanges until a pass makes none, both keys built anew for every comparison.
void OrdenacaoPorTrocas(std::vector<RegListagem>& v, int item) {
  bool trocou = true;
  while (trocou) {
    trocou = false;
    for (std::size_t k = 0; k + 1 < v.size(); ++k)
      if (ComparaBytes(ChaveClassificacao(v[k], ClassificacaoDoItem(item)),
                       ChaveClassificacao(v[k + 1], ClassificacaoDoItem(item))) > 0) {
        std::swap(v[k], v[k + 1]);
        trocou = true;
      }
  }
}

}  // namespace

int main() {
  const fs::path raiz = fs::temp_directory_path() / "telvarim-bench-workspace";
  fs::remove_all(raiz);
  fs::create_directories(raiz / "Recebidos");
  const std::string nome = "RM_000123_0001_2612101100_1.rec";
  if (!teste::GravaAmostraSelada(raiz / "Recebidos" / nome,
                                 {.titulares = kPortadores, .semente = 42, .umTipoUmaTarifa = true})) {
    std::fprintf(stderr, "cannot write the sample received file\n");
    return 1;
  }

  OperadorMudo op;
  Tabelas tab;
  ValoresPrograma prog;
  CadastroTelvarim c(op, PastasTrabalho(raiz), tab, prog);
  c.FormCreate();

  std::printf("workspace engine, %d holders in one card type and tariff (median of runs, ms)\n\n", kPortadores);
  std::printf("%-40s %10s %12s %8s\n", "operation", "ours", "quadratic", "ratio");
  auto linha = [](const char* op_, double nosso, double outro) {
    if (outro > 0)
      std::printf("%-40s %10.2f %12.1f %7.0fx\n", op_, nosso, outro, outro / nosso);
    else
      std::printf("%-40s %10.2f %12s %8s\n", op_, nosso, "-", "-");
  };

  const double processa = Mediana(5, [&] {
    op.log.clear();
    c.btnFecharClick();
    c.btnprocessarClick();
  });
  if (c.QtdUsuarios != kPortadores || c.sgRecarga.RowCount() != kPortadores + 1) {
    std::fprintf(stderr, "processing did not load the file (%d holders)\n", c.QtdUsuarios);
    return 1;
  }
  linha("process (open, expand, read, fill)", processa, 0);
  linha("grid fill", Mediana(7, [&] { c.cbtipocartaoChange(); }), 0);

  const double escrita = Mediana(7, [&] { c.AtualizaArrayRecargas(); });
  // The quadratic write-back on the first 2000 holders and rows, scaled to the full grid.
  c.QtdUsuarios = kLinhasReferencia;
  c.sgRecarga.SetRowCount(kLinhasReferencia + 1);
  const double escritaQ = Mediana(1, [&] { EscritaQuadratica(c, tab); }) * 25.0;
  c.QtdUsuarios = kPortadores;
  c.cbtipocartaoChange();
  linha("write-back", escrita, escritaQ);

  static const char* const kItens[] = {"order by code (with write-back)", "order by name (with write-back)",
                                       "order by employee no. (with write-back)"};
  for (int item = 0; item < 3; ++item) {
    c.rbClassificacao = item;
    const double ordena = Mediana(5,
                                  [&] {
                                    c.cbtipocartaoChange();
                                    c.ClassificaGrid();
                                  }) -
                          Mediana(5, [&] { c.cbtipocartaoChange(); });
    std::vector<RegListagem> amostra(tab.Listagem.begin(), tab.Listagem.begin() + kLinhasReferencia);
    std::shuffle(amostra.begin(), amostra.end(), std::mt19937(item));
    const double trocas = Mediana(1, [&] { OrdenacaoPorTrocas(amostra, item); }) * 25.0;
    linha(kItens[item], ordena, trocas);
  }

  c.RetomandoRascunho = true;  // nothing to move between runs
  linha("generation (format, compress, seal)", Mediana(5, [&] { c.GeraArquivo(c.PastaGerados, false); }), 0);
  if (c.UltimaGeracao != ResultadoGeracao::Gravado) {
    std::fprintf(stderr, "generation failed\n");
    return 1;
  }
  std::printf("\nquadratic times: measured on %d rows and scaled by 25 to %d rows\n", kLinhasReferencia, kPortadores);
  fs::remove_all(raiz);
  return 0;
}
