// The workspace engine on a 10000-holder received file, all holders in one card type and one tariff (the
// largest view the workspace can show): processing (opening the seal, expanding, reading, the first view),
// the view alone, typing a value on every row, one Enter as the window runs it (the value typed, then both
// totals read again), ordering by each key and the generation of the request.
//
// For the ordering the straightforward algorithm is measured beside ours: the exchange sort that builds both
// keys of every compared pair anew. It is quadratic, so it runs on 2000 rows and the time is scaled by
// (10000 / 2000)^2 to the full view.
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
using telvarim::bench::MedianaCom;

namespace {

constexpr int kPortadores = 10000;
constexpr int kLinhasReferencia = 2000;

class OperadorMudo : public OperadorRoteirizado {
 public:
  void LogAcrescenta(const std::string& l) override { OperadorRoteirizado::LogAcrescenta(l); }
};

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
  c.Abre();

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
    c.VoltaAosArquivos();
    c.Processa();
  });
  if (c.QtdUsuarios != kPortadores || c.QtdLinhas() != kPortadores) {
    std::fprintf(stderr, "processing did not load the file (%d holders)\n", c.QtdUsuarios);
    return 1;
  }
  linha("process (open, expand, read, view)", processa, 0);
  const std::int32_t tipo = c.TipoCartaoAtual, tarifa = c.TarifaAtual;
  linha("view of one card type and tariff", Mediana(7, [&] { c.MostraTipoTarifa(tipo, tarifa); }), 0);

  // A value typed on every row, each checked and stored on its own.
  const char* const valores[] = {"12,34", "7.5", "250"};
  int n = 0;
  const double digita = Mediana(5, [&] {
    for (int l = 0; l < c.QtdLinhas(); ++l)
      if (!c.DigitaValor(l, valores[n++ % 3]).Feito()) std::abort();
  });
  char rotulo[64];
  std::snprintf(rotulo, sizeof rotulo, "typing a value on %d rows", c.QtdLinhas());
  linha(rotulo, digita, 0);
  // One Enter as the window runs it: the value, then the view's and the file's totals shown again.
  double soma = 0;
  const double enter = Mediana(101, [&] {
    const int l = n % c.QtdLinhas();
    if (!c.DigitaValor(l, valores[n++ % 3]).Feito()) std::abort();
    soma += c.TotaisVista().dinheiro + c.TotaisArquivo().dinheiro;
  });
  if (soma <= 0) return 1;
  linha("Enter (value, view and file totals)", enter, 0);

  static const char* const kItens[] = {"order by code", "order by name", "order by employee no."};
  for (int item = 0; item < 3; ++item) {
    const double ordena = Mediana(5,
                                  [&] {
                                    c.MostraTipoTarifa(tipo, tarifa);
                                    c.Classifica(ClassificacaoDoItem(item));
                                  }) -
                          Mediana(5, [&] { c.MostraTipoTarifa(tipo, tarifa); });
    std::vector<RegListagem> amostra(tab.Listagem.begin(), tab.Listagem.begin() + kLinhasReferencia);
    std::shuffle(amostra.begin(), amostra.end(), std::mt19937(item));
    const double trocas = Mediana(1, [&] { OrdenacaoPorTrocas(amostra, item); }) * 25.0;
    linha(kItens[item], ordena, trocas);
  }

  c.RetomandoRascunho = true;  // nothing to move between runs
  // Each run answers the file afresh: the previous answer (its request and ledger line) is cleared first.
  const auto esquece = [&] {
    for (const auto& e : fs::directory_iterator(raiz / "Gerados")) fs::remove(e.path());
    fs::remove(raiz / std::string(kArquivoRespostas));
  };
  linha("generation (format, compress, seal)", MedianaCom(5, esquece, [&] { c.GeraArquivo(c.PastaGerados, false); }),
        0);
  if (c.UltimaGeracao != ResultadoGeracao::Gravado) {
    std::fprintf(stderr, "generation failed\n");
    return 1;
  }
  std::printf("\nquadratic times: measured on %d rows and scaled by 25 to %d rows\n", kLinhasReferencia, kPortadores);
  fs::remove_all(raiz);
  return 0;
}
