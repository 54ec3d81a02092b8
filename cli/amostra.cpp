#include "amostra.h"

#include <array>
#include <cstdio>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "cp1252.h"
#include "records.h"

namespace telvarim {

namespace {

using namespace telvarim::literais;

// SplitMix64: the standard library's distributions differ between implementations, and the records must be
// the same bytes for a seed everywhere.
class Sorteio {
 public:
  explicit Sorteio(std::uint64_t semente) : estado_(semente) {}
  std::uint64_t Proximo() {
    std::uint64_t z = (estado_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 to n - 1.
  long long Ate(long long n) { return static_cast<long long>(Proximo() % static_cast<std::uint64_t>(n)); }
  long long Entre(long long a, long long b) { return a + Ate(b - a + 1); }
  bool Chance(int porCento) { return Ate(100) < porCento; }
  template <class T, std::size_t N>
  const T& Um(const std::array<T, N>& v) {
    return v[static_cast<std::size_t>(Ate(static_cast<long long>(N)))];
  }

 private:
  std::uint64_t estado_;
};

// One fixed-width record, field by field.
class Registro {
 public:
  Registro& Txt(std::string_view t, std::size_t largura) {
    s_.append(t.substr(0, largura));
    if (t.size() < largura) s_.append(largura - t.size(), ' ');
    return *this;
  }
  Registro& Num(long long v, int largura) {
    char b[32];
    const int n = std::snprintf(b, sizeof b, "%0*lld", largura, v);
    if (n != largura) throw std::logic_error("sample value does not fit its field");
    s_.append(b, static_cast<std::size_t>(n));
    return *this;
  }
  std::string Fim() { return std::move(s_); }

 private:
  std::string s_;
};

struct TipoAmostra {
  int codigo;
  const char* descricao;  // UTF-8 here, cp1252 in the file
  int porCreditos;
  int percentual;     // two implied decimals
  int maximo;         // centavos or credits; -1: no ValorMaximo (61 columns)
  int digitosMaximo;  // 5 (66 columns) or 6 (67 columns)
  int peso;           // share of the holders
};

constexpr std::array<TipoAmostra, 6> kTipos = {{
    {1, "VALE-TRANSPORTE COMUM", 0, 10000, 30000, 5, 40},
    {2, "ESTUDANTE", 1, 5000, -1, 5, 20},
    {5, "TRABALHADOR CRÉDITO", 1, 10000, 44, 5, 10},
    {12, "VALE-TRANSPORTE EXECUTIVO", 0, 10000, -1, 5, 10},
    {40, "INTEGRAÇÃO METROPOLITANA", 0, 10000, 50000, 6, 10},
    {120, "CARTÃO SÊNIOR", 1, 2500, 300, 6, 10},
}};

struct TarifaAmostra {
  int codigo;
  const char* descricao;
  int centavos;
  long long auxiliar;
};

constexpr std::array<TarifaAmostra, 5> kTarifasAmostra = {{
    {1, "URBANA", 470, 1000000001},
    {2, "METRÔ", 500, 1000000002},
    {3, "SEMIURBANA", 690, 1000000003},
    {7, "INTERMUN.", 1025, 1000000007},
    {14, "EXECUTIVO", 1380, 1000000014},
}};

constexpr std::array<const char*, 16> kPrenomes = {"JOÃO",      "MARIA JOSÉ", "ÁLVARO", "ANTÔNIO",   "ANA",   "JOSÉ",
                                                   "CONCEIÇÃO", "LUÍS",       "MÁRCIA", "SEBASTIÃO", "GRAÇA", "FÁBIO",
                                                   "INÊS",      "PAULO",      "LÚCIA",  "VINÍCIUS"};
constexpr std::array<const char*, 14> kSobrenomes = {"SILVA",     "SANTOS", "OLIVEIRA", "ARAÚJO",  "GONÇALVES",
                                                     "MAGALHÃES", "FALCÃO", "BRANDÃO",  "PEIXOTO", "CONCEIÇÃO",
                                                     "ASSUNÇÃO",  "SOUZA",  "LIMA",     "PEREIRA"};
constexpr std::array<const char*, 4> kEmpresas = {"TRANSPORTES SÃO JOSÉ LTDA", "CONFECÇÕES ARAÚJO S.A.",
                                                  "METALÚRGICA PIRAJUÇARA LTDA", "COMÉRCIO DE PEÇAS IPÊ ME"};

std::string Dois(long long v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02lld", v);
  return b;
}

const TipoAmostra& SorteiaTipo(Sorteio& s) {
  int total = 0;
  for (const auto& t : kTipos) total += t.peso;
  long long r = s.Ate(total);
  for (const auto& t : kTipos) {
    if (r < t.peso) return t;
    r -= t.peso;
  }
  return kTipos[0];
}

std::string Cabecalho(Sorteio& s, std::int32_t& codEmpresa) {
  codEmpresa = static_cast<std::int32_t>(s.Entre(100000, 999999));
  const long long seq = s.Entre(1, 9999);
  const long long dia = s.Entre(1, 28), mes = s.Entre(1, 12), ano = s.Entre(24, 26);
  const long long hora = s.Entre(6, 20), minuto = s.Entre(0, 59), segundo = s.Entre(0, 59);
  const std::string data = Dois(dia) + Dois(mes) + Dois(ano);
  char nome[64];
  std::snprintf(nome, sizeof nome, "RM_%06d_%04lld_%s%s%s%s%s_1.REC", static_cast<int>(codEmpresa), seq,
                Dois(ano).c_str(), Dois(mes).c_str(), Dois(dia).c_str(), Dois(hora).c_str(), Dois(minuto).c_str());
  Registro r;
  r.Txt("00", 2)
      .Num(s.Entre(1, 9999), 4)
      .Num(codEmpresa, 6)
      .Txt(Utf8ParaCp1252(s.Um(kEmpresas)), 50)
      .Txt(data, 6)
      .Txt(Dois(hora) + Dois(minuto) + Dois(segundo), 6)
      .Txt(data, 6)
      .Txt(Dois(hora) + Dois(minuto < 59 ? minuto + 1 : minuto) + Dois(segundo), 6)
      .Num(1, 1)
      .Txt(nome, 65)
      .Txt(nome, 65)
      .Txt("RECARGA 4.2.0", 20)
      .Txt("", 20)
      .Num(seq, 18)
      .Num(s.Ate(3), 1);
  return r.Fim();
}

std::string TipoCartao(const TipoAmostra& t) {
  Registro r;
  r.Txt("04", 2).Num(t.codigo, 3).Txt(Utf8ParaCp1252(t.descricao), 50).Num(t.porCreditos, 1).Num(t.percentual, 5);
  if (t.maximo >= 0) r.Num(t.maximo, t.digitosMaximo);
  return r.Fim();
}

std::string Tarifa(const TarifaAmostra& t) {
  Registro r;
  r.Txt("05", 2).Num(t.codigo, 2).Txt(Utf8ParaCp1252(t.descricao), 10).Num(t.centavos, 18).Num(t.auxiliar, 10);
  return r.Fim();
}

// Largest value of one recharge, as the reader takes a missing ValorMaximo.
long long Maximo(const TipoAmostra& t) {
  if (t.maximo >= 0) return t.maximo;
  return t.porCreditos == 0 ? 60000 : 250;
}

std::string Detalhe(Sorteio& s, int i, bool umTipoUmaTarifa, std::array<int, 4>& usados) {
  const TipoAmostra& tipo = umTipoUmaTarifa ? kTipos[0] : SorteiaTipo(s);
  const bool dinheiro = tipo.porCreditos == 0;
  const long long maximo = Maximo(tipo);

  std::string nome = s.Um(kPrenomes);
  nome += " ";
  nome += s.Um(kSobrenomes);
  if (s.Chance(60)) {
    nome += " ";
    nome += s.Um(kSobrenomes);
  }

  // Group 1 always; groups 2-4 for some holders, each with a tariff of its own.
  std::array<int, 4> tarifas{};
  int grupos = 1 + (!umTipoUmaTarifa && s.Chance(30) ? 1 : 0);
  if (grupos == 2 && s.Chance(35)) ++grupos;
  if (grupos == 3 && s.Chance(40)) ++grupos;
  std::size_t primeira =
      umTipoUmaTarifa ? 0 : static_cast<std::size_t>(s.Ate(static_cast<long long>(kTarifasAmostra.size())));
  for (int g = 0; g < grupos; ++g) {
    tarifas[static_cast<std::size_t>(g)] =
        kTarifasAmostra[(primeira + static_cast<std::size_t>(g)) % kTarifasAmostra.size()].codigo;
    ++usados[static_cast<std::size_t>(g)];
  }

  Registro r;
  r.Txt("01", 2)
      .Num((10000 + 13LL * i + s.Ate(13)) % 2000000000, 10)
      .Num(1000000000LL + (100000LL * i) % 1000000000 + s.Ate(100000), 10)
      .Txt(Utf8ParaCp1252(nome), 50)
      .Txt(s.Chance(80) ? std::to_string(s.Entre(1, 999999)) : "MAT-" + std::to_string(s.Entre(100, 9999)), 20)
      .Num(tipo.codigo, 3);
  // Group 1: CMM with its centavos for a money type, a value to recharge now and then.
  const long long cmm1 = dinheiro ? s.Entre(2000, 40000) : s.Entre(10, 200);
  const long long valor1 = s.Chance(25) ? s.Entre(1, maximo) : 0;
  r.Num(tarifas[0], 4).Num(cmm1, 18).Num(0, 18).Num(valor1, 18);
  for (std::size_t g = 1; g < 4; ++g) {
    const bool usado = tarifas[g] != 0;
    r.Num(tarifas[g], 4)
        .Num(usado ? s.Entre(1, dinheiro ? 999 : 60) : 0, 3)
        .Num(usado && !dinheiro && s.Chance(20) ? s.Entre(1, 40) : 0, 3);
  }
  r.Num(0, 18).Txt("", 12);
  // Last recharges: the three of group 1 for a money type; those of every group used for a credit type.
  for (std::size_t k = 0; k < 12; ++k) {
    const std::size_t g = k / 3;
    const bool lida = dinheiro ? g == 0 : tarifas[g] != 0;
    long long v = 0;
    if (lida && s.Chance(85)) v = dinheiro ? s.Entre(500, 30000) : s.Entre(1, maximo < 999 ? maximo : 999);
    r.Num(v, 5);
  }
  return r.Fim();
}

std::string Trailer(int registros, const std::array<int, 4>& usados) {
  Registro r;
  r.Txt("99", 2).Num(registros, 10);
  for (int q : usados) r.Num(q, 18).Num(0, 18);
  return r.Fim();
}

}  // namespace

std::string TextoAmostra(const OpcoesAmostra& opcoes) {
  const int titulares = opcoes.titulares;
  if (titulares < 0) throw std::invalid_argument("the number of holders cannot be negative");
  Sorteio s(opcoes.semente);
  std::vector<std::string> linhas;
  linhas.reserve(static_cast<std::size_t>(titulares) + 16);
  std::int32_t empresa = 0;
  linhas.push_back(Cabecalho(s, empresa));
  for (const auto& t : kTipos) linhas.push_back(TipoCartao(t));
  for (const auto& t : kTarifasAmostra) linhas.push_back(Tarifa(t));
  std::array<int, 4> usados{};
  for (int i = 0; i < titulares; ++i) linhas.push_back(Detalhe(s, i, opcoes.umTipoUmaTarifa, usados));
  linhas.push_back(Trailer(static_cast<int>(linhas.size()) + 1, usados));

  std::string texto;
  texto.reserve(linhas.size() * (kTamDetalhe + 2));
  for (const auto& l : linhas) {
    texto += l;
    texto += "\r\n";
  }
  return texto;
}

}  // namespace telvarim
