// A text file read or written line by line: the external value files of an import and the import log.
//
// Text mode, the same on every platform: the file is opened in binary and the line ends are translated here,
// so a file written on Windows reads the same on Linux and the other way round.
// - Reading: CR LF, a bare LF and a bare CR each end a line, and are not kept: files from Windows, from
//   Unix and from old Macintosh programs read alike, and a CR never hides the lines after it inside one.
// - The end of the file also ends a line: a last line without a line end is read and counted like any other.
//   A file that ends in a line end has no further, empty line after it.
// - Writing: each LF of the text is written as CR LF; nothing else is changed and no line end is added.
//
// A line longer than kTamanhoMaximoLinha bytes (without its line end) is not kept: LeLinha skips it to its
// line end, counts it, leaves Linha empty and returns false, while TemLinha still announces it. A caller
// that asks TemLinha first can therefore tell a line that could not be read from the end of the file, and
// the memory a line takes stays bounded whatever the file holds.
//
// Errors: Abre, LeLinha, GravaLinha and Fecha report by their boolean result and never throw. A read error
// of the disk looks like the end of the file (the underlying stream does not tell them apart).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

namespace telvarim {

class Arquivo {
 public:
  // The two modes Abre accepts: reading, and writing to a new or emptied file (which can be read back too).
  static constexpr std::string_view ModoLeitura = "rt";
  static constexpr std::string_view ModoGravacao = "wt+";

  static constexpr std::size_t kTamanhoMaximoLinha = 64 * 1024;

  Arquivo() = default;
  ~Arquivo();  // closes a file still open
  Arquivo(const Arquivo&) = delete;
  Arquivo& operator=(const Arquivo&) = delete;

  // Opens the file when the mode is ModoLeitura or ModoGravacao (anything else: false, nothing changes).
  // A file opened before is closed first. On success Contador is 0. A folder is not a file: false.
  bool Abre(const std::filesystem::path& caminho, std::string_view modo);

  // Reads the next line into Linha. False at the end of the file (Linha empty, Contador unchanged) and for a
  // line that is too long (Linha empty, the line skipped and counted). True adds 1 to Contador.
  bool LeLinha();
  // Whether a next line exists, without reading it: the position and Contador stay as they are.
  bool TemLinha();
  // Number of lines of the whole file, whatever the current position; leaves the file at its start, with
  // Contador equal to the number returned. 0 when no file is open. With `limite`, counting stops there: a
  // file of more lines gives `limite`, without being read to its end.
  std::int32_t ContaLinhas(std::int32_t limite = std::numeric_limits<std::int32_t>::max());

  // Writes the text with each LF as CR LF and makes sure it reached the file. False when no file is open,
  // when it was opened for reading, or when not all of it was written.
  bool GravaLinha(std::string_view texto);

  // Closes the file; true also when none was open, false when closing failed (data not written).
  bool Fecha();

  bool Aberto() const { return arquivo_ != nullptr; }
  const std::string& Linha() const { return linha_; }
  std::int32_t Contador() const { return contador_; }

 private:
  enum class Operacao { Nenhuma, Leitura, Escrita };
  // Switching between reading and writing needs a seek in between.
  void PassaPara(Operacao op);

  std::unique_ptr<std::filebuf> arquivo_;
  std::string linha_;
  std::int32_t contador_ = 0;
  bool gravacao_ = false;
  Operacao ultima_ = Operacao::Nenhuma;
};

}  // namespace telvarim
