// Hand-over of recharge files on removable disks: received files come in from a disk folder, request files go
// out to the disk of their company. A handed-over file is marked by renaming it in its source folder, its last
// five characters replaced by "4.REC", so that it no longer matches the list masks.
//
// Standard C++ only; the questions to the operator go through OperadorTroca, so the window shows dialogs and
// tests script the answers. Names and texts are cp1252 bytes, as everywhere in the engine.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace telvarim {

// The longest full path handed to a copy, in characters.
inline constexpr std::size_t kMaxCaminhoCopia = 255;

inline constexpr std::string_view MascaraArquivosRecarga = "*.REC";  // received, request and handed-over alike
inline constexpr std::string_view SufixoEntregue = "4.REC";

inline constexpr std::string_view TextoSelecioneArquivos = "Selecione os arquivos a carregar";
inline constexpr std::string_view TextoProcessadosComSucesso = "Arquivos Processados com Sucesso!";

// What the exchange asks and tells the operator. The window answers with dialogs; tests with a script.
class OperadorTroca {
 public:
  virtual ~OperadorTroca() = default;
  // "Confirm" dialog, buttons "&Yes" and "Cancel": true only for yes.
  virtual bool ConfirmaDisco(const std::string& pergunta) = 0;
  // "Error" dialog, buttons "&Yes" and "&No": true only for yes.
  virtual bool ConfirmaApagar(const std::string& pergunta) = 0;
  // Plain notice titled with the application title.
  virtual void Mensagem(const std::string& texto) = 0;
  // "Warning" dialog.
  virtual void Advertencia(const std::string& texto) = 0;
};

struct FalhaCopia {
  std::string arquivo;  // plain file name
  std::string motivo;   // why, in the operator's words
};

struct ResultadoTroca {
  std::vector<std::string> copiados;  // in list order
  std::vector<FalhaCopia> falhas;     // confirmed files that were not copied
  std::size_t recusados = 0;          // files the operator declined at the disk question

  bool Completo() const { return falhas.empty(); }
};

// The name a file takes once handed over: its last five characters replaced by "4.REC".
std::string NomeEntregue(std::string_view nome);

// The company code of a request file: the six characters after "RM_" (positions 4 to 9 of the name).
std::string CodigoEmpresa(std::string_view nome);

// The disk question for one request file; textoDrive is the entry of the destination drive list as shown.
std::string PerguntaDisco(std::string_view codigoEmpresa, std::string_view textoDrive);

// "No local escolhido há arquivos de Recarga. Apaga os arquivos ?"
std::string PerguntaApagar();

// How long a copy waits for its work folder (Recebidos, Gerados) while another desk's step holds it.
inline constexpr std::chrono::milliseconds kEsperaPastaTroca{15000};

// Load: copies each name from origem into destino (replacing a file of that name there) and marks the file
// in origem as handed over. A file that cannot be copied is reported and keeps its name; so is one whose
// destino another desk holds past `espera`.
ResultadoTroca CarregaArquivos(const std::filesystem::path& origem, const std::vector<std::string>& nomes,
                               const std::filesystem::path& destino,
                               std::chrono::milliseconds espera = kEsperaPastaTroca);

// Generate: for each name, asks for the company's disk; on yes clears the destination (ApagaDisco), copies
// the file from origem into destino and marks it in origem as handed over. Any other answer skips the file.
ResultadoTroca GeraArquivos(const std::filesystem::path& origem, const std::vector<std::string>& nomes,
                            const std::filesystem::path& destino, std::string_view textoDrive, OperadorTroca& operador,
                            std::chrono::milliseconds espera = kEsperaPastaTroca);

// Deletes every recharge file ("*.REC", any letter case) of the folder after the operator agrees; asks
// nothing when there is none. A file that cannot be deleted is left.
void ApagaDisco(const std::filesystem::path& pasta, OperadorTroca& operador);

// The closing notice of a load or generation: "Arquivos Processados com Sucesso!" when every confirmed file
// was copied; otherwise the list of files not copied, each with its reason.
std::string TextoResultado(const ResultadoTroca& r);

// Shows the closing notice: the plain notice on success, a warning otherwise.
void InformaResultado(const ResultadoTroca& r, OperadorTroca& operador);

}  // namespace telvarim
