// The request text for a fixed sample, clock and set of operator actions, pinned by its MD5: any change
// in what reaches the central system shows here first.
#include <gtest/gtest.h>

#include <cstdio>

#include "ambiente.h"
#include "amostra.h"
#include "crypto/digest.h"

namespace fs = std::filesystem;
using namespace telvarim;
using namespace telvarim::teste;

namespace {

std::string Md5Hex(const std::string& s) {
  DigestContext ctx;
  digest_init(ctx, kDigestMd5);
  digest_update(ctx, reinterpret_cast<const unsigned char*>(s.data()), s.size());
  unsigned char d[16];
  unsigned n = 0;
  digest_final(ctx, d, n);
  std::string h;
  char b[3];
  for (unsigned i = 0; i < n; ++i) {
    std::snprintf(b, sizeof b, "%02x", d[i]);
    h += b;
  }
  return h;
}

class PedidoReferencia : public Workspace {};

}  // namespace

TEST_F(PedidoReferencia, SampleRequestBytesArePinned) {
  const std::string texto = TextoAmostra({300, 7});
  Grava("Recebidos/RM_000123_0001_2612101100_1.rec", std::string(CodecsTeste::kMarca, 4) + Compacta(texto));
  CadastroTelvarim& c = Abre();
  ASSERT_TRUE(c.Processa().Feito());
  ASSERT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::Digitacao);

  // In every card type and tariff: a default value on the whole view, then one row typed, then the last
  // recharge copied onto another view, and an ordering by name.
  int passo = 0;
  for (const std::int32_t tipo : c.TiposDoArquivo)
    for (const std::int32_t tarifa : c.TarifasDoArquivo) {
      c.MostraTipoTarifa(tipo, tarifa);
      if (passo % 3 == 0) {
        c.AplicaValorPadrao(c.VistaEmCreditos() ? "9" : "7,25");
      } else if (passo % 3 == 1) {
        c.CopiaUltimasRecargas();
      }
      ++passo;
      if (c.QtdLinhas() > 1) {
        c.Classifica(Classificacao::Alfabetica);
        c.DigitaValor(1, "3,5");
      }
    }
  ASSERT_TRUE(c.GeraPedido().Feito());
  ASSERT_EQ(c.UltimaGeracao, ResultadoGeracao::Gravado);
  const std::string plano = Expande(LeArquivo(raiz / "Gerados" / c.ArquivoGerado).substr(4));
  EXPECT_EQ(SeparaLinhas(plano).size(), 1u + 6 + 5 + 300 + 1) << plano.substr(0, 300);
  EXPECT_NE(plano.find("000000000000000725"), std::string::npos);
  EXPECT_NE(plano.find("000000000000000350"), std::string::npos);
  EXPECT_EQ(Md5Hex(plano), "72117e87ce63f5e3ea8e85b0ea4fd67e") << "request text changed";
}
