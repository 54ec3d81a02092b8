// Long random runs of what an operator does on the typing page: typing (good, unreadable, negative, above
// the maximum, fractional credits, beyond a group's room), the default value, the last recharges, imports
// that succeed, partly fail or fail, switching card type and tariff, ordering. After every step the figures
// are read back every way the program shows them (the grid's cells, the totals of the view and of the file,
// the printed listing, the request's details) and must agree for every holder; a refused step leaves every
// value as it was, and a step on the view touches only the rows of the view. At the end of a run every view
// is shown and a real request is written and read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <deque>
#include <map>
#include <random>
#include <set>
#include <utility>

#include "ambiente.h"
#include "pedido.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::teste;
using Estado = Resultado::Estado;

namespace {

// Money (type 1, maximum 600,00) and two credit types (2 at 50 %, maximum 250; 3 at 100 %, maximum 5000,
// more than a group 2-4 field holds); tariff 0 for money holders whose group 1 has none. No holder uses a
// tariff twice, no credit holder has group 1 without a tariff, every credit group in use has a CMM: every
// value in use shows in exactly one view and in the listing.
Recebido Arquivo() {
  Recebido r;
  r.tipos = {Tipo(1, "VALE", 0), Tipo(2, "ESCOLAR", 1, 50, 250), Tipo(3, "LIVRE", 1, 100, 5000)};
  r.tarifas = {Tarifa(3, "URBANA", 2.30), Tarifa(5, "METRO", 4.00), Tarifa(7, "INTER", 5.75),
               Tarifa(9, "NOTURNA", 6.10), Tarifa(0, "ZERO", 0)};
  r.usuarios = {
      Usuario(101, 1, "ZULMIRA", "M01", 1, {3, 50, 12.34}),
      Usuario(102, 2, "\xC1LVARO", "M02", 1, {3, 40, 0}, {5, 381, 0}),
      Usuario(103, 3, "BEATRIZ", "M03", 1, {0, 0, 0}, {5, 9, 0}),
      Usuario(104, 4, "CARLOS", "M04", 1, {5, 120, 599.99}),
      Usuario(105, 5, "DORA", "M05", 1, {7, 10, 0}, {3, 8, 0}, {9, 15, 0}),
      Usuario(201, 6, "EVA", "C01", 2, {3, 30, 12}, {5, 4, 3}),
      Usuario(202, 7, "FABIO", "C02", 2, {5, 20, 7}),
      Usuario(203, 8, "GRACA", "C03", 2, {7, 5, 0}, {3, 2, 1}, {5, 6, 2}, {9, 4, 3}),
      Usuario(301, 9, "HELENA", "L01", 3, {3, 10, 100}, {5, 7, 999}),
      Usuario(302, 10, "IVO", "L02", 3, {5, 1, 0}, {7, 3, 0}),
  };
  r.usuarios[8].UltimasRecargas[3] = 1500;  // a last recharge group 2 has no room for
  r.usuarios[3].UltimasRecargas[0] = 123.45;
  return r;
}

const char* const kDigitados[] = {"12,34", "7.5",  "0",      "600",   "600,01", "599,999", "abc",  "",    "1.234,56",
                                  "-3",    "-700", "-3.5",   "-0,01", "12,5",   "0,5",     "0,49", "250", "251",
                                  "999",   "1000", "4999,5", "5000",  "5000,4", "12,345",  "1e2"};

using Par = std::pair<int, int>;  // holder, group

class ValoresAleatorios : public Workspace, public ::testing::WithParamInterface<unsigned> {
 protected:
  int Sorteia(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
  const char* Digitado() { return kDigitados[Sorteia(static_cast<int>(std::size(kDigitados)))]; }
  bool Credito(int usuario) const {
    return tabelas.TipoCartao(tabelas.Usuarios[static_cast<std::size_t>(usuario)].TipoCartao).PorCreditos != 0;
  }
  Moeda M(int usuario, int grupo) const { return MoedaDeDouble(Valor(usuario, grupo)); }

  std::map<Par, Moeda> Valores() const {
    std::map<Par, Moeda> v;
    for (int i = 0; i < cad->QtdUsuarios; ++i)
      for (int g = 0; g < 4; ++g) v[{i, g}] = M(i, g);
    return v;
  }
  std::set<Par> ParesDaVista() const {
    std::set<Par> s;
    for (const LinhaVista& l : cad->Vista()) s.insert({l.Usuario, l.Grupo});
    return s;
  }
  // The pairs whose value differs between two readings.
  static std::set<Par> Mudaram(const std::map<Par, Moeda>& antes, const std::map<Par, Moeda>& depois) {
    std::set<Par> s;
    for (const auto& [p, v] : depois)
      if (antes.at(p) != v) s.insert(p);
    return s;
  }
  static bool Contido(const std::set<Par>& a, const std::set<Par>& b) {
    return std::includes(b.begin(), b.end(), a.begin(), a.end());
  }

  std::string Passo(int n);
  std::string Digita();
  std::string Importacao(int n);
  void Confere();
  void ConfereTodasAsVistas();

  std::mt19937 rng;
};

std::string ValoresAleatorios::Digita() {
  const int linha = cad->QtdLinhas() == 0 ? 0 : Sorteia(cad->QtdLinhas());
  const std::string texto = Digitado();
  const auto antes = Valores();
  const Resultado r = cad->DigitaValor(linha, texto);
  const std::string passo = "typing '" + texto + "' on row " + std::to_string(linha);
  if (!r.Feito()) {
    EXPECT_EQ(r.estado, Estado::Recusado) << passo;
    EXPECT_EQ(Valores(), antes) << passo;
    return passo;
  }
  std::string t = texto;
  std::replace(t.begin(), t.end(), '.', ',');
  const std::optional<Moeda> digitado = LeMoeda(t);
  EXPECT_TRUE(digitado) << passo;
  // The cell shows what was typed, in the view's digits, and only that row's holder changed.
  EXPECT_EQ(cad->TextoCelula(linha, 5), FormataMoeda(digitado.value_or(-1), cad->FormatoValor())) << passo;
  const LinhaVista l = cad->Vista()[static_cast<std::size_t>(linha)];
  EXPECT_TRUE(Contido(Mudaram(antes, Valores()), {{l.Usuario, l.Grupo}})) << passo;
  return passo;
}

std::string ValoresAleatorios::Importacao(int n) {
  const int tipo = Sorteia(4);  // 0 every record good, 1 some refused, 2 no file, 3 a value no currency holds
  std::vector<std::string> linhas;
  std::map<int, std::string> esperados;  // holder: the cell its group 1 shows afterwards
  std::vector<int> usuarios(static_cast<std::size_t>(cad->QtdUsuarios));
  for (int i = 0; i < cad->QtdUsuarios; ++i) usuarios[static_cast<std::size_t>(i)] = i;
  std::shuffle(usuarios.begin(), usuarios.end(), rng);
  const int bons = 1 + Sorteia(4);
  for (int k = 0; k < bons; ++k) {
    const int i = usuarios[static_cast<std::size_t>(k)];
    const RegUsuario& u = tabelas.Usuarios[static_cast<std::size_t>(i)];
    const RegTipoCartao& c = tabelas.TipoCartao(u.TipoCartao);
    // Below the card type's maximum; credits with a fraction now and then, money with any centavos.
    const char* const fracoes[] = {"00", "25", "50", "99"};
    char valor[32];
    std::snprintf(valor, sizeof valor, "%d,%s", Sorteia(static_cast<int>(c.ValorMaximo)),
                  c.PorCreditos ? fracoes[Sorteia(4)] : FormataInteiro(Sorteia(100), "00").c_str());
    // Without a card type the record names the one on display.
    const std::string codigo =
        u.TipoCartao == cad->TipoCartaoAtual && Sorteia(2) == 0 ? "" : FormataInteiro(u.TipoCartao, "00");
    linhas.push_back(Registro(k + 1, u.Matricula, valor, codigo));
    esperados[i] = FormataMoeda(*LeMoeda(valor), FormatoDoTipo(c));
  }
  if (tipo == 1) {
    const RegUsuario& u = tabelas.Usuarios[static_cast<std::size_t>(usuarios[0])];
    const std::string codigo = FormataInteiro(u.TipoCartao, "00");
    const std::vector<std::string> recusados = {Registro(90, "NINGUEM", "1,00", "01"),
                                                Registro(91, u.Matricula, "5001,00", codigo),
                                                Registro(92, u.Matricula, "-1,00", codigo), "ABCDEFG"};
    const int quantos = 1 + Sorteia(static_cast<int>(recusados.size()));
    for (int k = 0; k < quantos; ++k)
      linhas.insert(linhas.begin() + Sorteia(static_cast<int>(linhas.size()) + 1),
                    recusados[static_cast<std::size_t>(Sorteia(static_cast<int>(recusados.size())))]);
  } else if (tipo == 3) {
    const RegUsuario& u = tabelas.Usuarios[static_cast<std::size_t>(usuarios[0])];
    linhas.insert(linhas.begin() + Sorteia(static_cast<int>(linhas.size()) + 1),
                  Registro(93, u.Matricula, "9999999999999999,00", FormataInteiro(u.TipoCartao, "00")));
  }

  const auto antes = Valores();
  if (tipo == 2) {
    op.arquivos.push_back(TextoCaminho(raiz / "externo" / "nao-existe.rrm"));
    resultado = cad->ImportaValores();
  } else {
    Importa(linhas, "valores_" + std::to_string(n) + ".rrm");
  }
  const std::string passo = "import of kind " + std::to_string(tipo) + " (" + std::to_string(linhas.size()) + " lines)";
  EXPECT_EQ(resultado.estado, tipo == 0 ? Estado::Feito : Estado::Falhou) << passo << ": " << resultado.motivo;
  const std::set<Par> mudaram = Mudaram(antes, Valores());
  for (const Par& p : mudaram) EXPECT_EQ(p.second, 0) << passo << ": only group 1 is imported into";
  if (tipo == 2) {
    EXPECT_TRUE(mudaram.empty()) << passo;
  } else {
    for (const auto& [i, celula] : esperados)
      EXPECT_EQ(
          FormataMoeda(M(i, 0),
                       FormatoDoTipo(tabelas.TipoCartao(tabelas.Usuarios[static_cast<std::size_t>(i)].TipoCartao))),
          celula)
          << passo << ", holder " << i;
  }
  return passo;
}

std::string ValoresAleatorios::Passo(int n) {
  const int r = Sorteia(100);
  if (r < 35) return Digita();
  if (r < 43 || (r < 50 && cad->QtdLinhas() > 0)) {
    const auto antes = Valores();
    const auto vista = ParesDaVista();
    const std::string texto = r < 43 ? Digitado() : "";
    const Resultado res = r < 43 ? cad->AplicaValorPadrao(texto) : cad->CopiaUltimasRecargas();
    const std::string passo = r < 43 ? "default value '" + texto + "'" : std::string("last recharges");
    const std::set<Par> mudaram = Mudaram(antes, Valores());
    if (!res.Feito()) EXPECT_TRUE(mudaram.empty()) << passo;
    EXPECT_TRUE(Contido(mudaram, vista)) << passo << ": a value outside the view changed";
    return passo;
  }
  if (r < 62) return Importacao(n);
  if (r < 87) {
    const std::int32_t tipo = cad->TiposDoArquivo[static_cast<std::size_t>(Sorteia(3))];
    const std::int32_t tarifa = cad->TarifasDoArquivo[static_cast<std::size_t>(Sorteia(5))];
    const auto antes = Valores();
    EXPECT_TRUE(cad->MostraTipoTarifa(tipo, tarifa).Feito());
    EXPECT_EQ(Valores(), antes);
    return "view " + std::to_string(tipo) + "/" + std::to_string(tarifa);
  }
  const int item = Sorteia(3);
  const auto antes = Valores();
  const auto vista = ParesDaVista();
  EXPECT_TRUE(cad->Classifica(ClassificacaoDoItem(item)).Feito());
  EXPECT_EQ(Valores(), antes);
  EXPECT_EQ(ParesDaVista(), vista) << "ordering shows the same rows";
  return "ordering " + std::to_string(item);
}

void ValoresAleatorios::Confere() {
  // Every value as the grid keeps it: not negative, whole credits or whole centavos, with room in its field.
  for (int i = 0; i < cad->QtdUsuarios; ++i)
    for (int g = 0; g < 4; ++g) {
      const Moeda m = M(i, g);
      EXPECT_GE(m, 0) << i << "/" << g;
      EXPECT_EQ(m % (Credito(i) ? kUnidadeMoeda : kUnidadeMoeda / 100), 0) << i << "/" << g;
      EXPECT_TRUE(CabeNoPedido(g, Credito(i), m)) << i << "/" << g;
    }

  // The grid: each cell is its holder's value; the view's totals are the cells'.
  const bool credito = cad->TipoAtual().PorCreditos == 1;
  const double preco = cad->PrecoCredito(cad->TipoCartaoAtual, cad->TarifaAtual);
  double dinheiroVista = 0;
  long long creditosVista = 0;
  for (int l = 0; l < cad->QtdLinhas(); ++l) {
    const LinhaVista& lv = cad->Vista()[static_cast<std::size_t>(l)];
    const std::string celula = cad->TextoCelula(l, 5);
    EXPECT_EQ(celula, FormataMoeda(M(lv.Usuario, lv.Grupo), cad->FormatoValor())) << "row " << l;
    const double v = DoubleDeMoeda(LeMoeda(celula).value_or(0));
    dinheiroVista += credito ? v * preco : v;
    if (credito) creditosVista += static_cast<long long>(v);
  }
  EXPECT_NEAR(cad->TotaisVista().dinheiro, dinheiroVista, 1e-6);
  EXPECT_EQ(cad->TotaisVista().creditos, creditosVista);

  // The request: one detail per holder, carrying the holder's values; the file's totals are the request's.
  const std::vector<RegUsuario> detalhes = DetalhesDe(MontaCorpoPedido(tabelas, cad->QtdUsuarios).linhas, tabelas);
  ASSERT_EQ(static_cast<int>(detalhes.size()), cad->QtdUsuarios);
  double dinheiro = 0;
  long long creditos = 0;
  for (int i = 0; i < cad->QtdUsuarios; ++i) {
    const RegUsuario& d = detalhes[static_cast<std::size_t>(i)];
    for (int g = 0; g < 4; ++g) {
      const GrupoRecarga& gr = d.Grupos[static_cast<std::size_t>(g)];
      EXPECT_EQ(MoedaDeDouble(gr.ValorRecarga), M(i, g)) << "request, holder " << d.CodUsuario << " group " << g + 1;
      if (Credito(i)) {
        creditos += static_cast<long long>(gr.ValorRecarga);
        dinheiro += gr.ValorRecarga * cad->PrecoCredito(d.TipoCartao, gr.Tarifa);
      } else {
        dinheiro += gr.ValorRecarga;
      }
    }
  }
  EXPECT_EQ(cad->TotaisArquivo().creditos, creditos);
  EXPECT_NEAR(cad->TotaisArquivo().dinheiro, dinheiro, 1e-6);

  // The listing: every value that is not 0 has its line, and each line's quantity is its holder's value.
  std::map<int, int> porCodigo;
  for (int i = 0; i < cad->QtdUsuarios; ++i) porCodigo[tabelas.Usuarios[static_cast<std::size_t>(i)].CodUsuario] = i;
  auto numero = [](std::string s) {
    s = Trim(s);
    s.erase(std::remove(s.begin(), s.end(), '.'), s.end());
    return LeMoeda(s);
  };
  std::set<Par> listados;
  double totalGeral = -1;
  for (const std::string& linha : cad->RelatorioListagem().linhas) {
    if (linha.rfind("Total Geral :", 0) == 0) totalGeral = DoubleDeMoeda(numero(linha.substr(13)).value_or(-1));
    if (linha.empty() || !std::isdigit(static_cast<unsigned char>(linha[0]))) continue;
    const auto it = porCodigo.find(LeInteiro(Trim(linha.substr(0, 16))).value_or(-1));
    ASSERT_NE(it, porCodigo.end()) << linha;
    const int i = it->second;
    const RegUsuario& u = tabelas.Usuarios[static_cast<std::size_t>(i)];
    const std::string tarifa = Trim(linha.substr(linha.size() - 38, 6));
    int g = 0;
    if (Credito(i)) {
      g = -1;
      for (int k = 0; k < 4 && g < 0; ++k)
        if (FormataPadrao(tabelas.Tarifa(u.Grupos[static_cast<std::size_t>(k)].Tarifa).Valor, "###,##0.00") == tarifa)
          g = k;
      ASSERT_GE(g, 0) << linha;
    }
    EXPECT_TRUE(listados.insert({i, g}).second) << "listed twice: " << linha;
    EXPECT_EQ(numero(linha.substr(linha.size() - 31, 15)), M(i, g)) << linha;
  }
  for (int i = 0; i < cad->QtdUsuarios; ++i)
    for (int g = 0; g < 4; ++g)
      if (g == 0 || M(i, g) != 0)
        EXPECT_TRUE(listados.count({i, g})) << "not listed: holder " << i << " group " << g + 1;
  EXPECT_NEAR(totalGeral, cad->TotaisArquivo().dinheiro, 0.0051);
}

void ValoresAleatorios::ConfereTodasAsVistas() {
  // Every view once: each value in use shows in exactly one of them.
  std::map<Par, std::string> celulas;
  for (const std::int32_t tipo : cad->TiposDoArquivo)
    for (const std::int32_t tarifa : cad->TarifasDoArquivo) {
      ASSERT_TRUE(cad->MostraTipoTarifa(tipo, tarifa).Feito());
      for (int l = 0; l < cad->QtdLinhas(); ++l) {
        const LinhaVista& lv = cad->Vista()[static_cast<std::size_t>(l)];
        EXPECT_TRUE(celulas.insert({{lv.Usuario, lv.Grupo}, cad->TextoCelula(l, 5)}).second)
            << "holder " << lv.Usuario << " group " << lv.Grupo + 1 << " in two views";
      }
    }
  // A real request, written and read back: each cell is what its holder's detail carries.
  ASSERT_TRUE(cad->GeraPedido().Feito());
  const std::vector<RegUsuario> detalhes = DetalhesGerados();
  ASSERT_EQ(static_cast<int>(detalhes.size()), cad->QtdUsuarios);
  for (int i = 0; i < cad->QtdUsuarios; ++i) {
    const RegUsuario& d = detalhes[static_cast<std::size_t>(i)];
    const char* formato = FormatoDoTipo(tabelas.TipoCartao(d.TipoCartao));
    for (int g = 0; g < 4; ++g) {
      const auto it = celulas.find({i, g});
      if (g == 0 || d.Grupos[static_cast<std::size_t>(g)].Tarifa != 0)
        EXPECT_NE(it, celulas.end()) << "holder " << d.CodUsuario << " group " << g + 1 << " in no view";
      if (it != celulas.end())
        EXPECT_EQ(FormataMoeda(MoedaDeDouble(d.Grupos[static_cast<std::size_t>(g)].ValorRecarga), formato), it->second)
            << "holder " << d.CodUsuario << " group " << g + 1;
    }
  }
  const std::vector<std::string> linhas = LinhasDe(raiz / "Gerados" / cad->ArquivoGerado, true);
  const CorpoPedido corpo = MontaCorpoPedido(tabelas, cad->QtdUsuarios);
  ASSERT_EQ(linhas.size(), corpo.linhas.size() + 2);
  EXPECT_EQ(std::vector<std::string>(linhas.begin() + 1, linhas.end() - 1), corpo.linhas);
}

TEST_P(ValoresAleatorios, EveryWayOfShowingAValueAgreesAfterEveryStep) {
  rng.seed(GetParam());
  Processa(Arquivo());
  ASSERT_TRUE(resultado.Feito()) << resultado.motivo;
  Confere();
  std::deque<std::string> ultimos;  // the steps that led to a failure
  for (int n = 0; n < 200; ++n) {
    ultimos.push_back(std::to_string(n) + ": " + Passo(n));
    if (ultimos.size() > 12) ultimos.pop_front();
    Confere();
    if (HasFailure()) {
      std::string s;
      for (const auto& p : ultimos) s += "\n  " + p;
      FAIL() << "seed " << GetParam() << ", last steps:" << s;
    }
  }
  ConfereTodasAsVistas();
}

INSTANTIATE_TEST_SUITE_P(Sementes, ValoresAleatorios, ::testing::Values(1u, 7u, 42u, 2026u, 99991u));

}  // namespace
