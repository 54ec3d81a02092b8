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
  c.btnprocessarClick();
  ASSERT_EQ(c.PaginaAtiva, CadastroTelvarim::Pagina::tbDigitacao);

  // In every card type and tariff: a default value on the whole grid, then one row typed, then the last
  // recharge copied onto another grid, and an ordering by name.
  int passo = 0;
  for (int t = 0; t < static_cast<int>(c.cbtipocartao.Items.size()); ++t)
    for (int ta = 0; ta < static_cast<int>(c.cbtarifa.Items.size()); ++ta, ++passo) {
      c.cbtipocartao.ItemIndex = t;
      c.cbtarifa.ItemIndex = ta;
      c.cbtipocartaoChange();
      if (passo % 3 == 0) {
        c.edalteravlr = c.edalteravlrDecimais == 2 ? "7,25" : "9";
        if (c.edalteravlrExit()) c.btnalteravlrClick();
      } else if (passo % 3 == 1) {
        c.BitBtn1Click();
      }
      if (c.sgRecarga.RowCount() > 2) {
        c.rbClassificacao = 1;
        c.rbClassificacaoClick();
        c.sgRecarga.Row = 2;
        c.sgRecarga.SetCell(5, 2, "3,5");
        c.sgRecargaKeyPress('\r');
      }
    }
  c.btngerararquivoClick();
  ASSERT_EQ(c.UltimaGeracao, ResultadoGeracao::Gravado);
  const std::string plano = Expande(LeArquivo(raiz / "Gerados" / c.ArquivoGerado).substr(4));
  EXPECT_EQ(SeparaLinhas(plano).size(), 1u + 6 + 5 + 300 + 1) << plano.substr(0, 300);
  EXPECT_NE(plano.find("000000000000000725"), std::string::npos);
  EXPECT_NE(plano.find("000000000000000350"), std::string::npos);
  EXPECT_EQ(Md5Hex(plano), "f18c2b8c8576d0223ab4ddc188c1d6d6") << "request text changed";
}
