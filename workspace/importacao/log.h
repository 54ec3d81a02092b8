// The import log: one time-stamped line per event, written to a text file as it happens.
//
// A line is the time stamp "dd/mm/yyyy hh:nn:ss" (the date, a space, the time of day), then the kind's
// prefix, the text (cp1252, unchanged) and the kind's suffix:
//   error        "  *** Erro: "   "\n"
//   information  "      Info: "   "\n"
//   title        " +------  "     "  -----+\n"
// The file is written in text mode, so each line ends in CR LF on disk.
//
// Every line is handed to the disk before the call returns; its boolean result says whether it got there.
// Nothing throws.
#pragma once

#include <filesystem>
#include <string_view>

#include "arquivo.h"
#include "datetime.h"

namespace telvarim {

class Log {
 public:
  // The clock gives the time stamps; tests hand a fixed one.
  explicit Log(const Relogio& relogio = RelogioPadrao()) : relogio_(relogio) {}

  // Creates the file, or empties it when it exists.
  bool Abre(const std::filesystem::path& caminho);

  bool Erro(std::string_view texto);
  bool Info(std::string_view texto);
  bool Titulo(std::string_view texto);

  // Closes the file (also done by the destructor): true when none was open or it closed cleanly.
  bool Fecha() { return arquivo_.Fecha(); }

 private:
  bool Grava(std::string_view prefixo, std::string_view texto, std::string_view sufixo);

  Arquivo arquivo_;
  const Relogio& relogio_;
};

}  // namespace telvarim
