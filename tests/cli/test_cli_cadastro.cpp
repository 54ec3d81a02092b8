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

// Value files made to hurt, or chosen by mistake: each ends in its own words, never hangs or floods, and
// writes no request unless every record was applied.
TEST_F(CliCadastro, BatchValuesFromHostileOrMistakenFiles) {
  Processa();
  const RegUsuario& u = tabelas.Usuarios[0];
  const std::string bom = Registro(2, u.Matricula, "               1,00", u.TipoCartao);
  std::string cr;
  for (int i = 1; i <= 100; ++i) cr += Registro(i, u.Matricula, "               1,00", u.TipoCartao) + "\r";
  const fs::path amostra = pasta / "amostra.rec";
  fs::copy_file(raiz / "Recebidos" / kRecebido, amostra);
  const std::string proprioLog = "O arquivo escolhido é o próprio Log da importação - Verifique!";

  struct Caso {
    const char* nome;
    std::string valores;  // the value file's bytes
    bool proprioLog;      // the value file is kept as Log/valores.log, the import's own log
    int status;
    std::vector<std::string> noErro;  // texts stderr must hold
    std::string totais;               // the totals line of the import log ("" when not checked)
  } casos[] = {
      {"a value the currency cannot hold, then a good one",
       Registro(1, u.Matricula, "1000000000000000,00", u.TipoCartao) + "\r\n" + bom + "\r\n",
       false,
       3,
       {"Erro\n            1   " + u.Matricula + std::string(21 - u.Matricula.size(), ' ') +
        "Valor infomado não é válido\nAs Alterações"},  // that line only
       "Total de OK: 1 - Total de erros: 1"},
      {"a hundred records with CR line ends",
       cr,
       false,
       0,
       {"Operação Concluída com Sucesso"},
       "Total de OK: 100 - Total de erros: 0"},
      {"blank lines past the line limit",
       std::string(300000, '\n'),
       false,
       3,
       {"Arquivo com mais de 100000 linhas - a importação parou na linha 100000 - Verifique!",
        "Mais 98000 registros recusados com o erro: O identificador do registro infomado não é um número válido"},
       "Total de OK: 0 - Total de erros: 100000"},
      {"the import's own log", bom + "\r\n", true, 3, {proprioLog}, ""},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nome);
    fs::remove_all(raiz);
    fs::create_directories(raiz / "Recebidos");
    fs::copy_file(amostra, raiz / "Recebidos" / kRecebido);
    const fs::path valores = c.proprioLog ? raiz / "Log" / "valores.log" : pasta / "valores.rrm";
    fs::create_directories(valores.parent_path());
    std::ofstream(valores, std::ios::binary) << c.valores;

    const teste::ResultadoComando r = Cli("batch --root " + Q(raiz) + " --values " + Q(valores) + " " + kRecebido);
    EXPECT_EQ(r.status, c.status) << r.err;
    for (const std::string& t : c.noErro) EXPECT_NE(r.err.find(t), std::string::npos) << t << "\n" << r.err;
    EXPECT_LT(r.err.size(), 400000u) << "the report stays bounded";
    EXPECT_EQ(fs::is_empty(raiz / "Gerados"), c.status != 0);
    if (c.proprioLog) {
      EXPECT_EQ(teste::LeArquivo(valores), c.valores) << "the log chosen as values is untouched";
    }
    if (!c.totais.empty()) {
      EXPECT_NE(Cp1252ParaUtf8(teste::LeArquivo(raiz / "Log" / "valores.log")).find(c.totais), std::string::npos);
    }
  }
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
