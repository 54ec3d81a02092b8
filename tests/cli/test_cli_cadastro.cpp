// The workspace on the command line: `batch` with and without a value file, and `listing` as PDF, checked
// against the same engine run in this process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cadastrotelvarim.h"
#include "cp1252.h"
#include "linha_comando.h"
#include "pasta_temporaria.h"

namespace telvarim {
namespace {

namespace fs = std::filesystem;
using V = std::vector<std::string>;

const char* const kRecebido = "RM_000123_0001_2612101100_1.rec";

class CliCadastro : public teste::PastaTemporaria {
 protected:
  void SetUp() override {
    PastaTemporaria::SetUp();
    raiz = pasta / "raiz";
    fs::create_directories(raiz / "Recebidos");
    ASSERT_EQ(Cli("sample --holders 300 --seed 3 " + Q(raiz / "Recebidos" / kRecebido)).status, 0);
  }
  static std::string Q(const fs::path& p) { return teste::Aspas(p.string()); }
  teste::ResultadoComando Cli(const std::string& args) const {
    return teste::Executa(teste::Aspas(TELVARIM_CLI) + " " + args, pasta);
  }
  // The holders of the sample as this process's engine reads them.
  CadastroTelvarim& Processa() {
    cad = std::make_unique<CadastroTelvarim>(op, PastasTrabalho(raiz), tabelas, programa);
    cad->Abre();
    EXPECT_TRUE(cad->Processa().Feito());
    EXPECT_EQ(cad->PaginaAtiva, CadastroTelvarim::Pagina::Digitacao);
    return *cad;
  }
  // A value-file record (comma at position 45).
  static std::string Registro(int id, const std::string& matricula, const std::string& valor, int tipo) {
    char b[128];
    std::snprintf(b, sizeof b, "%07d%-21s%19s%010d  %010d%02d", id, matricula.c_str(), valor.c_str(), 123, 1, tipo);
    return b;
  }

  fs::path raiz;
  OperadorRoteirizado op;
  Tabelas tabelas;
  ValoresPrograma programa;
  std::unique_ptr<CadastroTelvarim> cad;
};

TEST_F(CliCadastro, BatchImportsAValueFileOrWritesNothing) {
  CadastroTelvarim& c = Processa();
  const RegUsuario& u = tabelas.Usuarios[0];
  const std::string bom = Registro(1, u.Matricula, "               1,00", u.TipoCartao) + "\r\n";
  const std::string ruim = bom + Registro(2, "NAO-EXISTE", "               1,00", u.TipoCartao) + "\r\n";
  std::ofstream(pasta / "ruim.rrm", std::ios::binary) << ruim;
  std::ofstream(pasta / "bom.rrm", std::ios::binary) << bom;
  (void)c;

  const teste::ResultadoComando r =
      Cli("batch --root " + Q(raiz) + " --values " + Q(pasta / "ruim.rrm") + " " + kRecebido);
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.err.find("Matrícula não encontrada"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("telvarim-cli: batch: "), std::string::npos);
  EXPECT_TRUE(fs::is_empty(raiz / "Gerados"));
  EXPECT_TRUE(fs::exists(raiz / "Recebidos" / kRecebido));

  const teste::ResultadoComando ok =
      Cli("batch --root " + Q(raiz) + " --values " + Q(pasta / "bom.rrm") + " " + kRecebido);
  ASSERT_EQ(ok.status, 0) << ok.err;
  EXPECT_NE(ok.err.find("Operação Concluída com Sucesso"), std::string::npos);
  EXPECT_TRUE(fs::exists(raiz / "Processados" / kRecebido));
  EXPECT_TRUE(fs::exists(raiz / "Log" / "bom.log"));
  // The request carries the imported value in the holder's group 1 (1,00 real or 1 credit).
  fs::path pedido;
  for (const auto& e : fs::directory_iterator(raiz / "Gerados"))
    if (e.path().extension() == ".REC") pedido = e.path();
  ASSERT_FALSE(pedido.empty());
  ASSERT_EQ(Cli("unpack --as-central " + Q(pedido) + " " + Q(pasta / "pedido.txt")).status, 0);
  const V linhas = SeparaLinhas(teste::LeArquivo(pasta / "pedido.txt"));
  const auto d = std::find_if(linhas.begin(), linhas.end(), [&](const std::string& l) {
    return l.substr(0, 2) == "01" && l.substr(2, 10) == FormataInteiro(u.CodUsuario, "0000000000");
  });
  ASSERT_NE(d, linhas.end());
  const bool credito = tabelas.TipoCartao(u.TipoCartao).PorCreditos != 0;
  EXPECT_EQ(d->substr(135, 18), credito ? "000000000000000001" : "000000000000000100");
}

#if defined(TELVARIM_COM_RELATORIOS)
TEST_F(CliCadastro, ListingPdfHasEveryLineInOrderUnderAPageHeader) {
  if (std::system("pdftotext -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  CadastroTelvarim& c = Processa();
  c.Ordem = Classificacao::Matricula;
  ASSERT_TRUE(c.Imprime().Feito());
  ASSERT_EQ(op.relatorios.size(), 1u);
  const V esperadas = op.relatorios[0].linhas;

  const teste::ResultadoComando r =
      Cli("listing --root " + Q(raiz) + " --order matricula " + kRecebido + " " + Q(pasta / "l.pdf"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(raiz / "Recebidos" / kRecebido)) << "nothing moved";
  EXPECT_TRUE(fs::is_empty(raiz / "Gerados")) << "nothing generated";
  ASSERT_EQ(teste::Executa("pdftotext -layout " + Q(pasta / "l.pdf") + " " + Q(pasta / "l.txt"), pasta).status, 0);

  // Pages are separated by form feeds; each starts with the page header.
  std::stringstream texto(Cp1252ParaUtf8(Utf8ParaCp1252(teste::LeArquivo(pasta / "l.txt"))));
  std::string pagina;
  std::vector<std::string> paginas;
  while (std::getline(texto, pagina, '\f'))
    if (!pagina.empty()) paginas.push_back(pagina);
  ASSERT_GT(paginas.size(), 3u);
  auto normal = [](const std::string& s) {  // spaces folded: pdftotext lays columns out its own way
    std::string n;
    for (char ch : s)
      if (ch != ' ' || (!n.empty() && n.back() != ' ')) n += ch;
    while (!n.empty() && n.back() == ' ') n.pop_back();
    return n;
  };
  std::vector<std::string> impressas;
  for (std::size_t i = 0; i < paginas.size(); ++i) {
    EXPECT_NE(paginas[i].find("Listagem de Cartões a Recarregar"), std::string::npos) << "page " << i + 1;
    EXPECT_NE(paginas[i].find("Página: " + std::to_string(i + 1)), std::string::npos) << "page " << i + 1;
    EXPECT_NE(paginas[i].find("Classificação : Por Matrícula Usuário"), std::string::npos);
    std::stringstream ls(paginas[i]);
    for (std::string l; std::getline(ls, l);) impressas.push_back(normal(l));
  }
  // Every non-empty listing line, in order, among the printed lines.
  std::size_t k = 0;
  for (const std::string& e : esperadas) {
    const std::string n = normal(Cp1252ParaUtf8(e));
    if (n.empty()) continue;
    while (k < impressas.size() && impressas[k] != n) ++k;
    ASSERT_LT(k, impressas.size()) << "missing or out of order: " << n;
    ++k;
  }
}
#endif

}  // namespace
}  // namespace telvarim
