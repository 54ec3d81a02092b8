#include "cp1252.h"

#include <array>
#include <cstring>

namespace telvarim {
namespace {

// 0x80..0x9F of cp1252; 0x81, 0x8D, 0x8F, 0x90 and 0x9D are undefined and keep their C1 value.
constexpr std::array<char16_t, 32> kAltos = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                             0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                             0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                             0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AcrescentaUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out.push_back(static_cast<char>(u));
  } else if (u < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (u >> 6)));
    out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
  } else if (u < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (u >> 12)));
    out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (u >> 18)));
    out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
  }
}

char ParaByte(char32_t u) {
  int b = UnicodeParaCp1252(u);
  return static_cast<char>(b < 0 ? '?' : b);
}

}  // namespace

char32_t Cp1252ParaUnicode(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kAltos[c - 0x80];
  return c;
}

int UnicodeParaCp1252(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
  for (std::size_t i = 0; i < kAltos.size(); ++i)
    if (kAltos[i] == u) return static_cast<int>(0x80 + i);
  return -1;
}

std::string Cp1252ParaUtf8(std::string_view cp) {
  std::string out;
  out.reserve(cp.size() + cp.size() / 8);
  for (char c : cp) AcrescentaUtf8(out, Cp1252ParaUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ParaCp1252(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    // Bytes that follow the lead byte; 0 for a stray continuation byte or an invalid lead.
    std::size_t n = b >= 0xF8 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    bool ok = n > 0 && i + n < s.size();
    char32_t u = b & (0x3Fu >> n);
    for (std::size_t k = 1; ok && k <= n; ++k) {
      auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) ok = false;
      u = (u << 6) | (c & 0x3Fu);
    }
    if (!ok) {
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(ParaByte(u));
    i += n + 1;
  }
  return out;
}

std::u16string Cp1252ParaUtf16(std::string_view cp) {
  std::u16string out;
  out.reserve(cp.size());
  for (char c : cp) out.push_back(static_cast<char16_t>(Cp1252ParaUnicode(static_cast<unsigned char>(c))));
  return out;
}

std::string Utf16ParaCp1252(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      ++i;  // no astral character has a cp1252 byte
      out.push_back('?');
      continue;
    }
    out.push_back(ParaByte(c));
  }
  return out;
}

std::string MaiusculasCp1252(std::string_view s) {
  std::string out(s);
  for (char& ch : out) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
      c = static_cast<unsigned char>(c - 0x20);
    else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
      c = static_cast<unsigned char>(c - 0x20);
    else if (c == 0x9A || c == 0x9C || c == 0x9E)
      c = static_cast<unsigned char>(c - 0x10);
    else if (c == 0xFF)
      c = 0x9F;
    ch = static_cast<char>(c);
  }
  return out;
}

std::string_view TrimView(std::string_view s) {
  std::size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string TrimRight(std::string_view s) {
  std::size_t b = s.size();
  while (b > 0 && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return std::string(s.substr(0, b));
}

std::string TrimLeft(std::string_view s) {
  std::size_t a = 0;
  while (a < s.size() && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  return std::string(s.substr(a));
}

std::string_view Campo(std::string_view linha, std::size_t primeira, std::size_t ultima) {
  if (primeira == 0 || primeira > linha.size() || ultima < primeira) return {};
  std::size_t fim = ultima < linha.size() ? ultima : linha.size();
  return linha.substr(primeira - 1, fim - primeira + 1);
}

int ComparaBytes(std::string_view a, std::string_view b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  int r = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (r != 0) return r < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace telvarim
