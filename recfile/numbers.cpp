#include "numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "cp1252.h"

namespace telvarim {

namespace {

// The offending text as people can read it: a control byte (or one cp1252 leaves undefined) would cut the
// message short (a NUL ends it in every C string on the way to the screen) or show as nothing, so it is
// written as \xNN.
std::string Visivel(const std::string& texto) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string v;
  for (char ch : texto) {
    const auto c = static_cast<unsigned char>(ch);
    const bool controle = c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
    if (controle) {
      v += "\\x";
      v += kHex[c >> 4];
      v += kHex[c & 0x0F];
    } else {
      v += ch;
    }
  }
  return v;
}

std::string MensagemConversao(const std::string& texto, const std::string& campo, int linha) {
  std::string m = "'" + Visivel(texto) + "' n\xE3o \xE9 um valor num\xE9rico v\xE1lido";  // cp1252 text
  if (!campo.empty()) m += " - Campo: " + campo;
  if (linha >= 0) m += " - Linha: " + std::to_string(linha);
  return m;
}

bool EhDigito(char c) { return c >= '0' && c <= '9'; }

// A decimal number as a digit string d1 d2 ... dn with value 0.d1d2...dn × 10^expoente.
struct Decimal {
  bool negativo = false;
  std::string digitos;  // no leading zeros; empty means zero
  int expoente = 0;
};

void Normaliza(Decimal& d) {
  std::size_t z = 0;
  while (z < d.digitos.size() && d.digitos[z] == '0') ++z;
  d.digitos.erase(0, z);
  d.expoente -= static_cast<int>(z);
  while (!d.digitos.empty() && d.digitos.back() == '0') d.digitos.pop_back();
  if (d.digitos.empty()) d.expoente = 0;
}

// Parses [blanks][sign]digits[,digits][(E|e)[sign]digits][blanks]; at least one mantissa digit.
std::optional<Decimal> AnalisaDecimal(std::string_view s) {
  s = TrimView(s);
  Decimal d;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) d.negativo = s[i++] == '-';
  std::size_t inteiros = 0, decimais = 0;
  while (i < s.size() && EhDigito(s[i])) {
    d.digitos.push_back(s[i++]);
    ++inteiros;
  }
  if (i < s.size() && s[i] == ',') {
    ++i;
    while (i < s.size() && EhDigito(s[i])) {
      d.digitos.push_back(s[i++]);
      ++decimais;
    }
  }
  if (inteiros + decimais == 0) return std::nullopt;
  long long exp = 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    if (i >= s.size() || !EhDigito(s[i])) return std::nullopt;
    while (i < s.size() && EhDigito(s[i])) {
      if (exp < 100000) exp = exp * 10 + (s[i] - '0');
      ++i;
    }
    if (neg) exp = -exp;
  }
  if (i != s.size()) return std::nullopt;
  d.expoente = static_cast<int>(inteiros + exp);
  Normaliza(d);
  return d;
}

// A double as 15 significant decimal digits.
Decimal DecimalDeDouble(double v) {
  Decimal d;
  if (v == 0 || !std::isfinite(v)) return d;
  d.negativo = v < 0;
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
  std::string_view t(buf, static_cast<std::size_t>(r.ptr - buf));  // d.dddddddddddddde[+-]xx
  auto e = t.find('e');
  d.digitos.push_back(t[0]);
  d.digitos.append(t.substr(2, e - 2));
  int x = 0;
  std::from_chars(t.data() + e + (t[e + 1] == '+' ? 2 : 1), t.data() + t.size(), x);
  d.expoente = x + 1;
  Normaliza(d);
  return d;
}

Decimal DecimalDeInteiro(long long v, int casas) {
  Decimal d;
  d.negativo = v < 0;
  unsigned long long u = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  d.digitos = std::to_string(u);
  d.expoente = static_cast<int>(d.digitos.size()) - casas;
  Normaliza(d);
  return d;
}

// Digit at position p (1 = first digit after the decimal point, 0 = units, -1 = tens ...).
int DigitoEm(const Decimal& d, int p) {
  // digit index k (0-based) has position (k + 1) - expoente
  int k = p + d.expoente - 1;
  if (k < 0 || k >= static_cast<int>(d.digitos.size())) return 0;
  return d.digitos[static_cast<std::size_t>(k)] - '0';
}

// Rounds the value to `casas` decimals, half away from zero; returns the integer part digits and the
// decimal digits.
void Arredonda(const Decimal& d, int casas, std::string& inteira, std::string& fracao) {
  // Collect digits from the most significant down to position `casas`.
  int maisAlta = d.digitos.empty() ? 0 : -(d.expoente - 1);  // position of the first digit
  if (maisAlta > 0) maisAlta = 0;                            // always produce the units digit
  std::string todos;                                         // positions maisAlta .. casas
  for (int p = maisAlta; p <= casas; ++p) todos.push_back(static_cast<char>('0' + DigitoEm(d, p)));
  if (DigitoEm(d, casas + 1) >= 5) {
    int k = static_cast<int>(todos.size()) - 1;
    while (k >= 0 && todos[static_cast<std::size_t>(k)] == '9') todos[static_cast<std::size_t>(k--)] = '0';
    if (k >= 0)
      ++todos[static_cast<std::size_t>(k)];
    else
      todos.insert(todos.begin(), '1');
  }
  std::size_t nInt = todos.size() - static_cast<std::size_t>(casas);
  inteira = todos.substr(0, nInt);
  fracao = todos.substr(nInt);
  std::size_t z = 0;
  while (z + 1 < inteira.size() && inteira[z] == '0') ++z;
  inteira.erase(0, z);
}

std::string Formata(const Decimal& d, std::string_view padrao) {
  auto ponto = padrao.find('.');
  std::string_view antes = padrao.substr(0, ponto);
  std::string_view depois = ponto == std::string_view::npos ? std::string_view{} : padrao.substr(ponto + 1);
  bool milhares = antes.find(',') != std::string_view::npos;
  int minInt = 0;
  bool achouZero = false;
  for (char c : antes) {
    if (c == '0') achouZero = true;
    if (achouZero && (c == '0' || c == '#')) ++minInt;
  }
  int maxDec = 0, minDec = 0;
  for (char c : depois) {
    if (c == '0' || c == '#') ++maxDec;
    if (c == '0') minDec = maxDec;
  }
  std::string inteira, fracao;
  Arredonda(d, maxDec, inteira, fracao);
  while (static_cast<int>(fracao.size()) > minDec && fracao.back() == '0') fracao.pop_back();
  if (inteira == "0") inteira.clear();
  while (static_cast<int>(inteira.size()) < minInt) inteira.insert(inteira.begin(), '0');
  bool zero = inteira.find_first_not_of('0') == std::string::npos && fracao.find_first_not_of('0') == std::string::npos;
  std::string out;
  if (d.negativo && !zero) out.push_back('-');
  if (milhares && inteira.size() > 3) {
    std::size_t primeiro = inteira.size() % 3;
    if (primeiro == 0) primeiro = 3;
    out.append(inteira, 0, primeiro);
    for (std::size_t i = primeiro; i < inteira.size(); i += 3) {
      out.push_back('.');
      out.append(inteira, i, 3);
    }
  } else {
    out += inteira;
  }
  if (!fracao.empty()) {
    out.push_back(',');
    out += fracao;
  }
  return out;
}

}  // namespace

ErroConversao::ErroConversao(std::string texto, std::string campo, int linha)
    : std::runtime_error(MensagemConversao(texto, campo, linha)),
      texto_(std::move(texto)),
      campo_(std::move(campo)),
      linha_(linha) {}

Moeda MoedaDeDouble(double v) {
  double x = std::nearbyint(v * 10000.0);  // default rounding mode: to nearest, ties to even
  if (!std::isfinite(x) || x >= 9.2233720368547758e18 || x < -9.2233720368547758e18) throw ErroConversao(FormaGeral(v));
  return static_cast<Moeda>(x);
}

std::optional<Moeda> LeMoeda(std::string_view texto) {
  auto d = AnalisaDecimal(texto);
  if (!d) return std::nullopt;
  if (d->digitos.empty()) return Moeda{0};
  // value × 10^4 = 0.digits × 10^(expoente + 4)
  int inteiros = d->expoente + 4;
  if (inteiros > 19) return std::nullopt;
  unsigned long long acc = 0;
  for (int k = 0; k < inteiros; ++k) {
    int dig = k < static_cast<int>(d->digitos.size()) ? d->digitos[static_cast<std::size_t>(k)] - '0' : 0;
    if (acc > (std::numeric_limits<unsigned long long>::max() - static_cast<unsigned>(dig)) / 10) return std::nullopt;
    acc = acc * 10 + static_cast<unsigned>(dig);
  }
  // Rounding to nearest, ties to even, on the digits beyond the fourth decimal.
  if (inteiros >= 0 && inteiros < static_cast<int>(d->digitos.size())) {
    int primeiro = d->digitos[static_cast<std::size_t>(inteiros)] - '0';
    bool resto = static_cast<int>(d->digitos.size()) > inteiros + 1;  // normalised: any later digit is non-zero
    if (primeiro > 5 || (primeiro == 5 && (resto || (acc & 1)))) ++acc;
  } else if (inteiros < 0) {
    acc = 0;  // below half of a ten-thousandth
  }
  const unsigned long long limite = static_cast<unsigned long long>(std::numeric_limits<Moeda>::max());
  if (acc > limite + (d->negativo ? 1 : 0)) return std::nullopt;
  if (d->negativo) return static_cast<Moeda>(0ULL - acc);
  return static_cast<Moeda>(acc);
}

Moeda TextoParaMoeda(std::string_view texto) {
  auto m = LeMoeda(texto);
  if (!m) throw ErroConversao(std::string(texto));
  return *m;
}

std::optional<double> LeDouble(std::string_view texto) {
  auto d = AnalisaDecimal(texto);
  if (!d) return std::nullopt;
  if (d->digitos.empty()) return d->negativo ? -0.0 : 0.0;
  std::string s = "0." + d->digitos + "e" + std::to_string(d->expoente);
  double v = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || !std::isfinite(v)) return std::nullopt;
  return d->negativo ? -v : v;
}

double LeParteNumerica(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  std::size_t ini = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digitos = 0;
  while (i < s.size() && EhDigito(s[i])) ++i, ++digitos;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && EhDigito(s[i])) ++i, ++digitos;
  }
  if (digitos == 0) return 0;
  std::string t(s.substr(ini, i - ini));
  if (t[0] == '+') t.erase(0, 1);
  double v = 0;
  std::from_chars(t.data(), t.data() + t.size(), v);
  return v;
}

std::optional<std::int32_t> LeInteiro(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  if (i >= s.size()) return std::nullopt;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (!EhDigito(s[i])) return std::nullopt;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (neg) v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::int32_t TextoParaInteiro(std::string_view texto, std::string_view campo, int linha) {
  auto v = LeInteiro(texto);
  if (!v) throw ErroConversao(std::string(texto), std::string(campo), linha);
  return *v;
}

std::int32_t InteiroOuPadrao(std::string_view texto, std::int32_t padrao) {
  auto v = LeInteiro(texto);
  return v ? *v : padrao;
}

std::string FormataPadrao(double v, std::string_view padrao) { return Formata(DecimalDeDouble(v), padrao); }
std::string FormataMoeda(Moeda m, std::string_view padrao) { return Formata(DecimalDeInteiro(m, 4), padrao); }
std::string FormataInteiro(long long v, std::string_view padrao) { return Formata(DecimalDeInteiro(v, 0), padrao); }

std::string FormaGeral(double v) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  Decimal d = DecimalDeDouble(v);
  if (d.digitos.empty()) return "0";
  std::string out = d.negativo ? "-" : "";
  int e = d.expoente;  // value = 0.digits × 10^e
  int n = static_cast<int>(d.digitos.size());
  if (e > 15 || e < -4) {
    out += d.digitos.substr(0, 1);
    if (n > 1) out += "," + d.digitos.substr(1);
    out += "E" + std::to_string(e - 1);
    return out;
  }
  if (e <= 0) {
    out += "0," + std::string(static_cast<std::size_t>(-e), '0') + d.digitos;
  } else if (e >= n) {
    out += d.digitos + std::string(static_cast<std::size_t>(e - n), '0');
  } else {
    out += d.digitos.substr(0, static_cast<std::size_t>(e)) + "," + d.digitos.substr(static_cast<std::size_t>(e));
  }
  return out;
}

std::string MoedaFormaCurta(Moeda m) { return FormataMoeda(m, "0.####"); }

}  // namespace telvarim
