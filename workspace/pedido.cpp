#include "pedido.h"

#include "numbers.h"

namespace telvarim {

namespace {

std::string Zeros(long long v, std::size_t digitos) { return FormataInteiro(v, std::string(digitos, '0')); }

}  // namespace

bool CabeNoPedido(int grupo, bool credito, Moeda valor) {
  if (grupo <= 0) return true;
  if (!credito) return valor == 0;
  const Moeda inteiro = valor / kUnidadeMoeda;  // credits are written truncated
  return inteiro >= -99 && inteiro <= 999;
}

std::string LimiteNoPedido(bool credito) { return credito ? "999" : "0,00"; }

std::string NomePedido(std::int32_t codEmpresa, std::int32_t seq, const DataHora& quando, const char* extensao) {
  return "RM_" + Zeros(codEmpresa, 6) + "_" + Zeros(seq, 4) + "_" + FormataYYMMDDHHNN(quando) + "_2" + extensao;
}

CorpoPedido MontaCorpoPedido(const Tabelas& t, std::int32_t qtdUsuarios) {
  CorpoPedido c;
  c.rodape.QtdRegistros = 2;
  for (const auto& tipo : t.TiposCartao)
    if (tipo.Codigo != 0) {
      c.linhas.push_back(FormataTipoCartao(tipo));
      ++c.rodape.QtdRegistros;
    }
  for (const auto& tarifa : t.Tarifas)
    if (!tarifa.Descricao.empty()) {
      c.linhas.push_back(FormataTarifa(tarifa));
      ++c.rodape.QtdRegistros;
    }
  for (std::int32_t i = 0; i < qtdUsuarios; ++i) {
    const RegUsuario& u = t.Usuarios[static_cast<std::size_t>(i)];
    c.linhas.push_back(FormataDetalhe(u, t.TipoCartao(u.TipoCartao).PorCreditos));
    for (std::size_t g = 0; g < 4; ++g)
      if (u.Grupos[g].Tarifa != 0) ++c.rodape.Grupos[g].Quantidade;
  }
  return c;
}

RegCabecalho CabecalhoPedido(const RegCabecalho& recebido, const DataHora& inicio, const DataHora& termino,
                             const std::string& arquivoGerado, const std::string& versaoModulo) {
  RegCabecalho h = recebido;
  h.DataCriacao = FormataDDMMYY(inicio);
  h.HoraCriacao = FormataHHNNSS(inicio);
  h.DataTermino = FormataDDMMYY(termino);
  h.HoraTermino = FormataHHNNSS(termino);
  h.Criptografado = 1;
  h.NomeArquivo = arquivoGerado;
  h.VersaoRemota = versaoModulo;
  return h;
}

std::vector<std::string> LinhasPedido(const RegCabecalho& cabecalho, const CorpoPedido& corpo) {
  std::vector<std::string> l;
  l.reserve(corpo.linhas.size() + 2);
  l.push_back(FormataCabecalho(cabecalho));
  l.insert(l.end(), corpo.linhas.begin(), corpo.linhas.end());
  l.push_back(FormataTrailer(corpo.rodape));
  return l;
}

}  // namespace telvarim
