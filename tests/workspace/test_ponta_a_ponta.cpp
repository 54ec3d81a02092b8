// One whole exchange with the real packing: a received file made by `telvarim-cli sample` (sealed as the
// central system seals), processed by the workspace, values typed, the request generated, and the request
// opened again with the central system's key: its records carry the typed values.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ambiente.h"
#include "chaves_central.h"
#include "comando.h"
#include "envelope.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::teste;

namespace {

class PontaAPonta : public Workspace {};

std::string Aspas(const fs::path& p) { return "\"" + p.string() + "\""; }

}  // namespace

TEST_F(PontaAPonta, TypedValuesReachTheCentralSystem) {
  const fs::path recebido = raiz / "Recebidos" / "RM_000123_0001_2612101100_1.rec";
  fs::create_directories(recebido.parent_path());
  ASSERT_EQ(ExecutaComando(Aspas(TELVARIM_CLI) + " sample --holders 40 --seed 5 " + Aspas(recebido)), 0);

  CadastroTelvarim c(op, Pastas(), tabelas, programa, relogio);  // the product's codecs and keys
  c.Abre();
  const Resultado processado = c.Processa();
  ASSERT_TRUE(processado.Feito()) << processado.motivo;
  ASSERT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::Digitacao);

  // A card type and tariff whose view has two holders showing their group 1; a value typed on each.
  std::vector<int> linhas1;
  for (std::size_t t = 0; t < c.TiposDoArquivo.size() && linhas1.size() < 2; ++t)
    for (std::size_t ta = 0; ta < c.TarifasDoArquivo.size() && linhas1.size() < 2; ++ta) {
      c.MostraTipoTarifa(c.TiposDoArquivo[t], c.TarifasDoArquivo[ta]);
      linhas1.clear();
      for (int l = 0; l < c.QtdLinhas(); ++l)
        if (c.Vista()[static_cast<std::size_t>(l)].Grupo == 0) linhas1.push_back(l);
    }
  ASSERT_GE(linhas1.size(), 2u);
  const bool credito = c.VistaEmCreditos();
  const std::string valores[2] = {credito ? "7" : "12,34", credito ? "3" : "5.5"};
  int codigos[2];
  for (int n = 0; n < 2; ++n) {
    const int l = linhas1[static_cast<std::size_t>(n)];
    codigos[n] = c.UsuarioDaLinha(l).CodUsuario;
    const Resultado r = c.DigitaValor(l, valores[n]);
    ASSERT_TRUE(r.Feito()) << r.motivo;
  }
  ASSERT_TRUE(op.Textos().empty()) << op.Textos()[0];
  const Resultado gerado = c.GeraPedido();
  ASSERT_TRUE(gerado.Feito()) << gerado.motivo;
  ASSERT_EQ(c.UltimaGeracao, ResultadoGeracao::Gravado) << (op.avisos.empty() ? "" : op.avisos[0].texto);
  EXPECT_TRUE(fs::exists(raiz / "Processados" / recebido.filename()));

  // The central system's side: open with its key, check the system's signature, expand.
  const fs::path pedido = raiz / "Gerados" / c.ArquivoGerado, aberto = raiz / "aberto.lzw", texto = raiz / "texto.txt";
  ASSERT_EQ(open_file(pedido, aberto, *ChavePrivadaCentral(), ChavePublicaSistema(), 0), 0);
  ASSERT_EQ(lzw_expand_file(aberto, texto), 0);
  const std::vector<std::string> linhas = SeparaLinhas(LeArquivo(texto));
  ASSERT_GE(linhas.size(), 3u);
  RegCabecalho h;
  ASSERT_TRUE(LeCabecalho(linhas.front(), 1, h));
  EXPECT_EQ(Trim(h.NomeArquivo), c.ArquivoGerado);

  const std::string esperados[2] = {credito ? "000000000000000007" : "000000000000001234",
                                    credito ? "000000000000000003" : "000000000000000550"};
  int achados = 0;
  for (const auto& l : linhas) {
    if (l.rfind("01", 0) != 0) continue;
    const int cod = std::stoi(l.substr(2, 10));
    for (int r = 0; r < 2; ++r)
      if (cod == codigos[r] && std::stoi(l.substr(92, 3)) == c.TipoCartaoAtual) {
        EXPECT_EQ(l.substr(135, 18), esperados[r]) << cod;
        ++achados;
      }
  }
  EXPECT_EQ(achados, 2);
}
