#include "datetime.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace telvarim {

namespace {

std::string Dois(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", ((v % 100) + 100) % 100);
  return b;
}

std::string Quatro(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%04d", v);
  return b;
}

// Days since 1970-01-01 of a civil date and back (proleptic Gregorian).
long long DiasDeData(int y, int m, int d) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400;
  long long yoe = y - era * 400;
  long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void DataDeDias(long long z, int& y, int& m, int& d) {
  z += 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

}  // namespace

DataHora RelogioSistema::Agora() const {
  std::time_t agora = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &agora);
#else
  localtime_r(&agora, &tm);
#endif
  return DataHora{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

DataHora RelogioFixo::Agora() const {
  DataHora r = t_;
  if (passo_) t_ = SomaSegundos(t_, passo_);
  return r;
}

Relogio& RelogioPadrao() {
  static RelogioSistema sistema;
  return sistema;
}

DataHora SomaSegundos(DataHora t, long long segundos) {
  long long total = DiasDeData(t.ano, t.mes, t.dia) * 86400 + t.hora * 3600 + t.minuto * 60 + t.segundo + segundos;
  long long dias = total >= 0 ? total / 86400 : (total - 86399) / 86400;
  long long resto = total - dias * 86400;
  DataHora r;
  DataDeDias(dias, r.ano, r.mes, r.dia);
  r.hora = static_cast<int>(resto / 3600);
  r.minuto = static_cast<int>(resto / 60 % 60);
  r.segundo = static_cast<int>(resto % 60);
  return r;
}

std::string FormataData(const DataHora& t) { return Dois(t.dia) + "/" + Dois(t.mes) + "/" + Quatro(t.ano); }
std::string FormataHora(const DataHora& t) { return Dois(t.hora) + ":" + Dois(t.minuto) + ":" + Dois(t.segundo); }
std::string FormataDataHora(const DataHora& t) { return FormataData(t) + " " + FormataHora(t); }
std::string FormataDDMMYY(const DataHora& t) { return Dois(t.dia) + Dois(t.mes) + Dois(t.ano); }
std::string FormataHHNNSS(const DataHora& t) { return Dois(t.hora) + Dois(t.minuto) + Dois(t.segundo); }
std::string FormataYYMMDDHHNN(const DataHora& t) {
  return Dois(t.ano) + Dois(t.mes) + Dois(t.dia) + Dois(t.hora) + Dois(t.minuto);
}

}  // namespace telvarim
