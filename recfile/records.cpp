#include "records.h"

#include <cmath>
#include <cstdio>
#include <istream>

#include "cp1252.h"
#include "numbers.h"

namespace telvarim {

namespace {

bool TamanhoEm(std::size_t n, std::initializer_list<std::size_t> aceitos) {
  for (auto a : aceitos)
    if (n == a) return true;
  return false;
}

struct Leitor {
  std::string_view linha;
  int numLinha;
  std::int32_t Num(std::size_t a, std::size_t b, const char* campo) const {
    return TextoParaInteiro(Campo(linha, a, b), campo, numLinha);
  }
  std::string Txt(std::size_t a, std::size_t b) const { return std::string(Campo(linha, a, b)); }
};

std::string ForaDaTabela(const char* oque, long long codigo, int maximo, int numLinha) {
  return std::string(oque) + " " + std::to_string(codigo) + " fora da tabela (0 a " + std::to_string(maximo) +
         ") - Linha : " + std::to_string(numLinha);
}

// Builds a record field by field, checking every number against its width.
class Escritor {
 public:
  explicit Escritor(std::size_t reserva) { s_.reserve(reserva); }
  Escritor& Txt(std::string_view t, std::size_t largura) {
    if (t.size() >= largura) {
      s_.append(t.substr(0, largura));
    } else {
      s_.append(t);
      s_.append(largura - t.size(), ' ');
    }
    return *this;
  }
  // Zero-padded to the width, a minus sign taking the first position ("%0*lld").
  Escritor& Num(long long v, int largura, const char* campo) {
    char b[24];
    char* fim = b + sizeof b;
    char* p = fim;
    unsigned long long u = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    do {
      *--p = static_cast<char>('0' + u % 10);
      u /= 10;
    } while (u != 0);
    const int digitos = static_cast<int>(fim - p);
    const int sinal = v < 0 ? 1 : 0;
    if (digitos + sinal > largura)
      throw ErroFormato(std::string("Valor ") + std::to_string(v) + " n\xE3o cabe no campo " + campo + " (" +
                        std::to_string(largura) + " d\xEDgitos)");
    if (sinal) s_.push_back('-');
    s_.append(static_cast<std::size_t>(largura - digitos - sinal), '0');
    s_.append(p, static_cast<std::size_t>(digitos));
    return *this;
  }
  Escritor& Zeros(std::size_t n) {
    s_.append(n, '0');
    return *this;
  }
  Escritor& Brancos(std::size_t n) {
    s_.append(n, ' ');
    return *this;
  }
  std::string Fim() { return std::move(s_); }

 private:
  std::string s_;
};

long long Trunca(double v, const char* campo) {
  double t = std::trunc(v);
  if (!std::isfinite(t) || std::fabs(t) > 9.0e17)
    throw ErroFormato(std::string("Valor fora do alcance no campo ") + campo);
  return static_cast<long long>(t);
}

}  // namespace

long long Centavos(double reais) {
  // The 0.01 nudge keeps 12,34 (held as 12,3399...) from losing a centavo; it goes away from zero on both
  // sides, so -2,50 is -250 and not -249, and every value comes back from a draft as it was saved.
  return reais < 0 ? -Trunca(-reais * 100.0 + 0.01, "centavos") : Trunca(reais * 100.0 + 0.01, "centavos");
}

Leitura LeCabecalho(std::string_view linha, int numLinha, RegCabecalho& out) {
  if (!TamanhoEm(linha.size(), {217, 275, 276, 278})) return {false, {}};
  Leitor l{linha, numLinha};
  RegCabecalho c;
  c.CodCabecalho = l.Num(3, 6, "CodCabecalho");
  c.CodEmpresa = l.Num(7, 12, "CodEmpresa");
  c.NomeEmpresa = l.Txt(13, 62);
  c.DataCriacao = l.Txt(63, 68);
  c.HoraCriacao = l.Txt(69, 74);
  c.DataTermino = l.Txt(75, 80);
  c.HoraTermino = l.Txt(81, 86);
  c.Criptografado = l.Num(87, 87, "Criptografado");
  c.NomeArquivo = l.Txt(88, 152);
  c.NomeArquivo2 = l.Txt(153, 217);
  c.VersaoRecarga = l.Txt(218, 237);
  c.VersaoRemota = l.Txt(238, 257);
  c.SequencialArquivo = l.Txt(258, 275);
  std::string modo = l.Txt(276, 276);
  c.ModoArredondamento = Trim(modo).empty() ? "0" : modo;
  TextoParaInteiro(c.ModoArredondamento, "ModoArredondamento", numLinha);  // must be a number
  out = std::move(c);
  return {};
}

Leitura LeTipoCartao(std::string_view linha, int numLinha, RegTipoCartao& out) {
  const std::size_t n = linha.size();
  if (!TamanhoEm(n, {61, 62, 66, 67})) return {false, {}};
  Leitor l{linha, numLinha};
  std::int32_t codigo = l.Num(3, 5, "Codigo");
  if (codigo < 0 || codigo >= kMaxTiposCartao)
    return {false, ForaDaTabela("Tipo de cart\xE3o", codigo, kMaxTiposCartao - 1, numLinha)};
  RegTipoCartao t;
  t.Codigo = codigo;
  t.Descricao = l.Txt(6, 55);
  t.PorCreditos = l.Num(56, 56, "PorCreditos");
  t.PercentualTarifa = l.Num(57, 61, "PercentualTarifa") * kFatorCentavos;
  if (TrimView(Campo(linha, 62, 66)).empty()) {
    t.ValorMaximo = t.PorCreditos == 0 ? 600.00 : 250;
  } else {
    std::int32_t v = (n == 61 || n == 66) ? l.Num(62, 66, "ValorMaximo") : l.Num(62, 67, "ValorMaximo");
    t.ValorMaximo = t.PorCreditos == 0 ? v * kFatorCentavos : v;
  }
  out = std::move(t);
  return {};
}

Leitura LeTarifa(std::string_view linha, int numLinha, RegTarifa& out) {
  if (linha.size() != 42) return {false, {}};
  Leitor l{linha, numLinha};
  std::int32_t codigo = l.Num(3, 4, "Codigo");
  if (codigo < 0 || codigo >= kMaxTarifas) return {false, ForaDaTabela("Tarifa", codigo, kMaxTarifas - 1, numLinha)};
  RegTarifa t;
  t.Codigo = codigo;
  t.Descricao = l.Txt(5, 14);
  t.Valor = l.Num(15, 32, "Valor") * kFatorCentavos;
  t.Auxiliar = l.Num(33, 42, "Auxiliar");
  out = std::move(t);
  return {};
}

std::int32_t TipoCartaoDoDetalhe(std::string_view linha, int numLinha) {
  return TextoParaInteiro(Campo(linha, 93, 95), "TipoCartao", numLinha);
}

Leitura LeDetalhe(std::string_view linha, int numLinha, std::int32_t porCreditos, RegUsuario& out) {
  if (linha.size() != 273) return {false, {}};
  Leitor l{linha, numLinha};
  RegUsuario u;
  u.CodUsuario = l.Num(3, 12, "CodUsuario");
  u.NumCartao = l.Num(13, 22, "NumCartao");
  u.Nome = l.Txt(23, 72);
  u.Matricula = Trim(Campo(linha, 73, 92));
  u.TipoCartao = l.Num(93, 95, "TipoCartao");
  if (u.TipoCartao < 0 || u.TipoCartao >= kMaxTiposCartao)
    return {false, ForaDaTabela("Tipo de cart\xE3o", u.TipoCartao, kMaxTiposCartao - 1, numLinha)};

  struct Colunas {
    std::size_t tarifa, cmm, fimCmm, valor, fimValor;
  };
  static constexpr Colunas kGrupos[4] = {
      {96, 100, 117, 136, 153}, {154, 158, 160, 161, 163}, {164, 168, 170, 171, 173}, {174, 178, 180, 181, 183}};
  static const char* const kTarifa[4] = {"Tarifa1", "Tarifa2", "Tarifa3", "Tarifa4"};
  static const char* const kCmm[4] = {"CMM1", "CMM2", "CMM3", "CMM4"};
  static const char* const kValor[4] = {"ValorRecarga1", "ValorRecarga2", "ValorRecarga3", "ValorRecarga4"};
  for (int g = 0; g < 4; ++g) {
    const Colunas& c = kGrupos[g];
    GrupoRecarga& gr = u.Grupos[static_cast<std::size_t>(g)];
    gr.Tarifa = l.Num(c.tarifa, c.tarifa + 3, kTarifa[g]);
    if (gr.Tarifa < 0 || gr.Tarifa >= kMaxTarifas)
      return {false, ForaDaTabela("Tarifa", gr.Tarifa, kMaxTarifas - 1, numLinha)};
    std::int32_t cmm = l.Num(c.cmm, c.fimCmm, kCmm[g]);
    std::int32_t valor = l.Num(c.valor, c.fimValor, kValor[g]);
    gr.CMMArquivo = cmm;
    if (porCreditos == 0) {
      gr.CMM = cmm / 100;  // whole reais, the centavos dropped
      gr.ValorRecarga = valor * kFatorCentavos;
    } else {
      gr.CMM = cmm;
      gr.ValorRecarga = valor;
    }
  }
  static const char* const kUltimas[12] = {"UltimaRecarga1", "UltimaRecarga2",  "UltimaRecarga3",  "UltimaRecarga4",
                                           "UltimaRecarga5", "UltimaRecarga6",  "UltimaRecarga7",  "UltimaRecarga8",
                                           "UltimaRecarga9", "UltimaRecarga10", "UltimaRecarga11", "UltimaRecarga12"};
  const int lidas = porCreditos == 0 ? 3 : 12;
  for (int k = 0; k < lidas; ++k) {
    std::size_t a = 214 + 5 * static_cast<std::size_t>(k);
    std::int32_t v = l.Num(a, a + 4, kUltimas[k]);
    u.UltimasRecargas[static_cast<std::size_t>(k)] = porCreditos == 0 ? v * kFatorCentavos : v;
  }
  out = std::move(u);
  return {};
}

Leitura LeTrailer(std::string_view linha, int numLinha, RegRodape& out) {
  if (linha.size() != 156) return {false, {}};
  Leitor l{linha, numLinha};
  RegRodape r;
  r.QtdRegistros = l.Num(3, 12, "QtdRegistros");
  static const char* const kQtd[4] = {"QtdGrupo1", "QtdGrupo2", "QtdGrupo3", "QtdGrupo4"};
  static const char* const kTot[4] = {"TotalGrupo1", "TotalGrupo2", "TotalGrupo3", "TotalGrupo4"};
  for (std::size_t g = 0; g < 4; ++g) {
    std::size_t a = 13 + 36 * g;
    r.Grupos[g].Quantidade = l.Num(a, a + 17, kQtd[g]);
    r.Grupos[g].Total = l.Num(a + 18, a + 35, kTot[g]);
  }
  out = r;
  return {};
}

std::string DataExibicao(const RegCabecalho& c) {
  auto p = [](const std::string& s, std::size_t i) { return std::string(Campo(s, i, i + 1)); };
  return p(c.DataCriacao, 1) + "/" + p(c.DataCriacao, 3) + "/" + p(c.DataCriacao, 5) + " " + p(c.HoraCriacao, 1) + ":" +
         p(c.HoraCriacao, 3) + ":" + p(c.HoraCriacao, 5);
}

std::string EmpresaExibicao(const RegCabecalho& c) { return std::to_string(c.CodEmpresa) + " - " + c.NomeEmpresa; }

std::string CriptografiaExibicao(const RegCabecalho& c) { return c.Criptografado == 1 ? "Sim" : "N\xE3o"; }

std::string SeqDoNomeArquivo(const RegCabecalho& c) { return std::string(Campo(c.NomeArquivo, 11, 14)); }

std::string FormataCabecalho(const RegCabecalho& c) {
  Escritor e(kTamCabecalho);
  e.Txt("00", 2)
      .Num(c.CodCabecalho, 4, "CodCabecalho")
      .Num(c.CodEmpresa, 6, "CodEmpresa")
      .Txt(c.NomeEmpresa, 50)
      .Txt(c.DataCriacao, 6)
      .Txt(c.HoraCriacao, 6)
      .Txt(c.DataTermino, 6)
      .Txt(c.HoraTermino, 6)
      .Num(c.Criptografado, 1, "Criptografado")
      .Txt(c.NomeArquivo, 65)
      .Txt(c.NomeArquivo2, 65)
      .Txt(c.VersaoRecarga, 20)
      .Txt(c.VersaoRemota, 20)
      .Txt(c.SequencialArquivo, 18)
      .Txt(Trim(c.ModoArredondamento).empty() ? std::string("0") : c.ModoArredondamento, 1);
  return e.Fim();
}

std::string FormataTipoCartao(const RegTipoCartao& t) {
  long long maximo = t.PorCreditos == 0 ? Centavos(t.ValorMaximo) : Trunca(t.ValorMaximo, "ValorMaximo");
  Escritor e(kTamTipoCartao);
  e.Txt("04", 2)
      .Num(t.Codigo, 3, "Codigo")
      .Txt(t.Descricao, 50)
      .Num(t.PorCreditos, 1, "PorCreditos")
      .Num(Trunca(t.PercentualTarifa * 100.0 + 0.01, "PercentualTarifa"), 5, "PercentualTarifa");
  // A maximum read from a six-digit field (a 67-column record) keeps its sixth digit: the record is then 67
  // columns long, a length every reader of the layout takes as a six-digit maximum.
  e.Num(maximo, maximo > 99999 ? 6 : 5, "ValorMaximo");
  return e.Fim();
}

std::string FormataTarifa(const RegTarifa& t) {
  Escritor e(kTamTarifa);
  e.Txt("05", 2)
      .Num(t.Codigo, 2, "Codigo")
      .Txt(t.Descricao, 10)
      .Num(Centavos(t.Valor), 18, "Valor")
      .Num(t.Auxiliar, 10, "Auxiliar");
  return e.Fim();
}

std::string FormataDetalhe(const RegUsuario& u, std::int32_t porCreditos) {
  const bool dinheiro = porCreditos == 0;
  auto valor = [&](double v, const char* campo) { return dinheiro ? Centavos(v) : Trunca(v, campo); };
  Escritor e(kTamDetalhe);
  const GrupoRecarga& g1 = u.Grupos[0];
  e.Txt("01", 2)
      .Num(u.CodUsuario, 10, "CodUsuario")
      .Num(u.NumCartao, 10, "NumCartao")
      .Txt(u.Nome, 50)
      .Txt(u.Matricula, 20)
      .Num(u.TipoCartao, 3, "TipoCartao")
      .Num(g1.Tarifa, 4, "Tarifa1")
      .Num(dinheiro ? static_cast<long long>(g1.CMM) * 100 : g1.CMM, 18, "CMM1")
      .Zeros(18)
      .Num(valor(g1.ValorRecarga, "ValorRecarga1"), 18, "ValorRecarga1");
  static const char* const kTarifa[3] = {"Tarifa2", "Tarifa3", "Tarifa4"};
  static const char* const kCmm[3] = {"CMM2", "CMM3", "CMM4"};
  static const char* const kValor[3] = {"ValorRecarga2", "ValorRecarga3", "ValorRecarga4"};
  for (std::size_t g = 1; g < 4; ++g) {
    const GrupoRecarga& gr = u.Grupos[g];
    e.Num(gr.Tarifa, 4, kTarifa[g - 1])
        .Num(dinheiro ? gr.CMMArquivo : gr.CMM, 3, kCmm[g - 1])
        .Num(dinheiro ? 0 : Trunca(gr.ValorRecarga, kValor[g - 1]), 3, kValor[g - 1]);
  }
  e.Zeros(18).Brancos(12);
  for (std::size_t k = 0; k < 12; ++k) {
    if (dinheiro && k >= 3)
      e.Zeros(5);
    else
      e.Num(valor(u.UltimasRecargas[k], "UltimasRecargas"), 5, "UltimasRecargas");
  }
  return e.Fim();
}

std::string FormataTrailer(const RegRodape& r) {
  Escritor e(kTamTrailer);
  e.Txt("99", 2).Num(r.QtdRegistros, 10, "QtdRegistros");
  for (const auto& p : r.Grupos) e.Num(p.Quantidade, 18, "Quantidade").Num(p.Total, 18, "Total");
  return e.Fim();
}

std::vector<std::string> SeparaLinhas(std::string_view texto) {
  std::vector<std::string> linhas;
  std::size_t i = 0, ini = 0;
  while (i < texto.size()) {
    char c = texto[i];
    if (c == '\r' || c == '\n') {
      linhas.emplace_back(texto.substr(ini, i - ini));
      if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
      ini = ++i;
    } else {
      ++i;
    }
  }
  if (ini < texto.size()) linhas.emplace_back(texto.substr(ini));
  return linhas;
}

LeituraLinhas LeLinhas(std::istream& entrada, std::size_t limite, std::vector<std::string>& linhas) {
  linhas.clear();
  std::string atual;
  bool iniciada = false;  // a line has begun: a byte of it, or its line break, was seen
  bool depoisCr = false;  // the last byte was a CR: an LF right after it belongs to the same break
  char bloco[64 * 1024];
  for (;;) {
    entrada.read(bloco, sizeof bloco);
    const auto n = static_cast<std::size_t>(entrada.gcount());
    if (n == 0) break;
    for (std::size_t i = 0; i < n;) {
      const char c = bloco[i];
      if (c == '\n' && depoisCr) {
        depoisCr = false;
        ++i;
        continue;
      }
      depoisCr = false;
      if (!iniciada) {
        if (linhas.size() >= limite) return LeituraLinhas::Excesso;
        iniciada = true;
      }
      if (c == '\r' || c == '\n') {
        linhas.push_back(std::move(atual));
        atual.clear();
        iniciada = false;
        depoisCr = c == '\r';
        ++i;
        continue;
      }
      std::size_t fim = i;
      while (fim < n && bloco[fim] != '\r' && bloco[fim] != '\n') ++fim;
      atual.append(bloco + i, fim - i);
      i = fim;
    }
  }
  if (entrada.bad() || (entrada.fail() && !entrada.eof())) return LeituraLinhas::ErroLeitura;
  if (iniciada) linhas.push_back(std::move(atual));
  return LeituraLinhas::Lidas;
}

bool LinhaEmBranco(std::string_view linha) {
  return Campo(linha, 1, 2).find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace telvarim
