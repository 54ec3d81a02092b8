// Dates and times as the program writes them, with a clock that tests can replace.
#pragma once

#include <string>

namespace telvarim {

struct DataHora {
  int ano = 2000, mes = 1, dia = 1, hora = 0, minuto = 0, segundo = 0;
};

class Relogio {
 public:
  virtual ~Relogio() = default;
  virtual DataHora Agora() const = 0;
};

// The workstation's local time.
class RelogioSistema final : public Relogio {
 public:
  DataHora Agora() const override;
};

// A clock that shows a set time; each reading may advance it (tests of names built from the clock).
class RelogioFixo final : public Relogio {
 public:
  explicit RelogioFixo(DataHora t, int passoSegundos = 0) : t_(t), passo_(passoSegundos) {}
  DataHora Agora() const override;
  void Define(DataHora t) { t_ = t; }

 private:
  mutable DataHora t_;
  int passo_;
};

// The system clock, for callers that are not handed one.
Relogio& RelogioPadrao();

DataHora SomaSegundos(DataHora t, long long segundos);

std::string FormataDataHora(const DataHora& t);  // "dd/mm/yyyy hh:nn:ss"
std::string FormataData(const DataHora& t);      // "dd/mm/yyyy"
std::string FormataHora(const DataHora& t);      // "hh:nn:ss"
std::string FormataDDMMYY(const DataHora& t);
std::string FormataHHNNSS(const DataHora& t);
std::string FormataYYMMDDHHNN(const DataHora& t);

}  // namespace telvarim
