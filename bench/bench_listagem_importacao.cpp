// The import of a 10000-record value file into a 10000-holder workspace, and the printed listing of a
// 10000-holder file with four groups each (40000 rows): ours beside the algorithms first described (a
// linear walk of the holder table per record; the exchange sort that builds both keys of every compared
// pair anew). Both of those are measured on part of the input and scaled: the walk is linear in records
// (scaled by 10000/2000), the sort quadratic in rows (scaled by (40000/2000)^2). With the report windows
// built, also the PDF of that listing.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "amostra.h"
#include "amostra_selada.h"
#include "cadastrotelvarim.h"
#include "classificacao.h"
#include "comum_bench.h"
#include "cp1252.h"
#include "listagem.h"

#if defined(TELVARIM_COM_RELATORIOS)
#include <QDateTime>
#include <QGuiApplication>

#include "urepgeral.h"
#endif

namespace fs = std::filesystem;
using namespace telvarim;
using telvarim::bench::Mediana;
using namespace telvarim::literais;

namespace {

constexpr int kPortadores = 10000;
constexpr int kParte = 2000;

void Linha(const char* op, double nosso, double outro, const char* peer) {
  if (outro > 0)
    std::printf("%-46s %10.2f %14.1f %7.0fx  (%s)\n", op, nosso, outro, outro / nosso, peer);
  else
    std::printf("%-46s %10.2f %14s %8s\n", op, nosso, "-", "-");
}

// The holder lookup as first described: the whole table walked for every record.
int LocalizaLinear(const Tabelas& t, const std::string& matricula, std::int32_t tipo) {
  for (int i = 0; i < kMaxUsuarios; ++i)
    if (t.Usuarios[static_cast<std::size_t>(i)].Matricula == matricula &&
        t.Usuarios[static_cast<std::size_t>(i)].TipoCartao == tipo)
      return i;
  return -1;
}

void OrdenacaoPorTrocas(std::vector<RegListagem>& v, Classificacao c) {
  for (bool trocou = true; trocou;) {
    trocou = false;
    for (std::size_t k = 0; k + 1 < v.size(); ++k)
      if (ComparaBytes(ChaveClassificacao(v[k], c), ChaveClassificacao(v[k + 1], c)) > 0) {
        std::swap(v[k], v[k + 1]);
        trocou = true;
      }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path raiz = fs::temp_directory_path() / "telvarim-bench-importacao";
  fs::remove_all(raiz);
  fs::create_directories(raiz / "Recebidos");
  const std::string nome = "RM_000123_0001_2612101100_1.rec";
  if (!teste::GravaAmostraSelada(raiz / "Recebidos" / nome,
                                 {.titulares = kPortadores, .semente = 42, .umTipoUmaTarifa = true})) {
    std::fprintf(stderr, "cannot write the sample received file\n");
    return 1;
  }
  // Answers every file-open dialog with the value file.
  struct Operador : OperadorRoteirizado {
    std::string arquivo;
    std::string AbreArquivo(const std::string&, const std::string&) override { return arquivo; }
  } op;
  Tabelas tab;
  ValoresPrograma prog;
  CadastroTelvarim c(op, PastasTrabalho(raiz), tab, prog);
  c.Abre();
  c.Processa();
  if (c.QtdUsuarios != kPortadores) {
    std::fprintf(stderr, "processing did not load the file\n");
    return 1;
  }

  // One record per holder, each within the card type's maximum.
  const fs::path valores = raiz / "valores_10000.rrm";
  {
    std::ofstream out(valores, std::ios::binary);
    char b[128];
    for (int i = 0; i < kPortadores; ++i) {
      const RegUsuario& u = tab.Usuarios[static_cast<std::size_t>(i)];
      std::snprintf(b, sizeof b, "%07d%-21s%19s%010d  %010d%02d\r\n", i + 1, u.Matricula.c_str(), "10,00", 123, 1,
                    static_cast<int>(u.TipoCartao));
      out << b;
    }
  }
  std::printf("import and listing, %d holders (median of runs, ms)\n\n", kPortadores);
  std::printf("%-46s %10s %14s %8s\n", "operation", "ours", "first described", "ratio");

  op.arquivo = TextoCaminho(valores);
  const double importa = Mediana(5, [&] { c.ImportaValores(); });
  if (!c.UltimaImportacao) {
    std::fprintf(stderr, "the import refused records\n");
    return 1;
  }
  const double linear =
      Mediana(1,
              [&] {
                for (int i = 0; i < kPortadores; i += kPortadores / kParte) {  // spread over the table
                  const RegUsuario& u = tab.Usuarios[static_cast<std::size_t>(i)];
                  if (LocalizaLinear(tab, u.Matricula, u.TipoCartao) < 0) std::abort();
                }
              }) *
      (kPortadores / kParte);
  Linha("import of 10000 records (engine, with its log)", importa, linear, "lookups only, linear walk");

  // The listing: a credit card type, every holder with four groups in use.
  Tabelas t4;
  t4.TiposCartao[5] = RegTipoCartao{5, "CREDITO", 1, 100, 250};
  for (int k = 1; k <= 4; ++k)
    t4.Tarifas[static_cast<std::size_t>(k)] = RegTarifa{k, "T" + std::to_string(k), 2.3 * k, 0};
  std::mt19937 r(7);
  for (int i = 0; i < kPortadores; ++i) {
    RegUsuario& u = t4.Usuarios[static_cast<std::size_t>(i)];
    u = tab.Usuarios[static_cast<std::size_t>(r() % kPortadores)];
    u.CodUsuario = static_cast<std::int32_t>(r() % 9000000);
    u.TipoCartao = 5;
    for (int g = 0; g < 4; ++g)
      u.Grupos[static_cast<std::size_t>(g)] = {g + 1, 1 + static_cast<int>(r() % 90),
                                               1.0 + static_cast<double>(r() % 90)};
  }
  std::vector<std::string> texto;
  const double listagem = Mediana(5, [&] {
    std::vector<RegListagem> linhas = LinhasDeListagem(t4, kPortadores);
    std::vector<RegListagem> ordenadas;
    ordenadas.reserve(linhas.size());
    for (int k : OrdemClassificacao(linhas, Classificacao::Alfabetica))
      ordenadas.push_back(linhas[static_cast<std::size_t>(k)]);
    texto = TextoListagem(t4, ordenadas, 0);
  });
  std::vector<RegListagem> parte = LinhasDeListagem(t4, kPortadores);
  parte.resize(kParte);
  std::shuffle(parte.begin(), parte.end(), std::mt19937(1));
  const double trocas = Mediana(1, [&] { OrdenacaoPorTrocas(parte, Classificacao::Alfabetica); }) * 400.0;
  Linha("listing lines, 40000 rows by name", listagem, trocas, "exchange sort only");

#if defined(TELVARIM_COM_RELATORIOS)
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  Relatorio rel;
  rel.qrlnomecadastro = "Listagem de Cartões a Recarregar"_cp;
  rel.linhas = texto;
  const QString pdf = QString::fromStdString((raiz / "listagem.pdf").string());
  const double tempoPdf = Mediana(3, [&] {
    if (!EscrevePdf(rel, pdf, QDateTime::currentDateTime())) std::abort();
  });
  char rotulo[64];
  std::snprintf(rotulo, sizeof rotulo, "PDF of that listing (%zu lines)", texto.size());
  Linha(rotulo, tempoPdf, 0, "");
#else
  (void)argc;
  (void)argv;
#endif
  std::printf("\nfirst-described times: measured on %d records or rows and scaled to the full input\n", kParte);
  fs::remove_all(raiz);
  return 0;
}
