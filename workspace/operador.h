// The operator seam: everything the workspace engine needs from the operator or the screen.
//
// The engine never calls Qt. The windows implement this with real widgets; tests and the CLI implement it
// with scripted answers and recorded texts. Every text is cp1252, as the engine keeps it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace telvarim {

// A report ready for the print preview: the page-header labels of the common report window and the lines
// of its detail band, printed one per band in a fixed-pitch font.
struct Relatorio {
  enum class Tipo { Listagem, Importacao };
  Tipo tipo = Tipo::Listagem;
  std::string qrlnomecadastro;   // title
  std::string qrlrelatorio;      // subtitle
  std::string qrlperiodo;        // period line
  std::string qrlfiltro;         // filter line
  std::string lblClassificacao;  // listing only
  std::string QRVersao;          // version label
  std::string cabecalhoColunas;  // import report's column header
  std::vector<std::string> linhas;
};

class Operador {
 public:
  virtual ~Operador() = default;

  // Plain notice titled with the application title ("Telvarim").
  virtual void Mensagem(const std::string& texto) = 0;
  // Typed dialogs, titled by their type.
  virtual bool Confirma(const std::string& texto) = 0;  // confirmation with Yes and No; true for Yes
  virtual void Informa(const std::string& texto) = 0;   // information, OK
  virtual void Adverte(const std::string& texto) = 0;   // warning, OK
  virtual void Erro(const std::string& texto) = 0;      // error, OK

  // Panel 1 of the main window's status bar.
  virtual void Status(const std::string& texto) = 0;

  // The log page (memolog).
  virtual void LogAcrescenta(const std::string& linha) = 0;
  virtual void LogLimpa() = 0;
  virtual std::vector<std::string> LogLinhas() const = 0;

  // Let pending window messages run (repaint, the gauge moves).
  virtual void ProcessaMensagens() = 0;

  // The file-open dialog; the chosen path, or an empty text when cancelled.
  virtual std::string AbreArquivo(const std::string& filtro, const std::string& extensaoPadrao) = 0;

  // Shows a report in the print preview; returns when the preview is closed.
  virtual void MostraRelatorio(const Relatorio& r) = 0;
};

// An operator that answers from a script and records every text it is shown: for tests and for the CLI.
class OperadorRoteirizado : public Operador {
 public:
  struct Aviso {
    enum class Tipo { Mensagem, Confirmacao, Informacao, Advertencia, Erro } tipo;
    std::string texto;
  };

  std::vector<bool> respostas;        // answers to Confirma, in order
  bool respostaPadrao = false;        // answer when the script has run out
  std::vector<std::string> arquivos;  // answers to AbreArquivo, in order; then empty (cancelled)

  std::vector<Aviso> avisos;        // everything shown, in order
  std::vector<std::string> status;  // every status text, in order
  std::vector<std::string> log;     // the log page
  std::vector<Relatorio> relatorios;
  int mensagensProcessadas = 0;

  void Mensagem(const std::string& texto) override;
  bool Confirma(const std::string& texto) override;
  void Informa(const std::string& texto) override;
  void Adverte(const std::string& texto) override;
  void Erro(const std::string& texto) override;
  void Status(const std::string& texto) override;
  void LogAcrescenta(const std::string& linha) override;
  void LogLimpa() override;
  std::vector<std::string> LogLinhas() const override;
  void ProcessaMensagens() override;
  std::string AbreArquivo(const std::string& filtro, const std::string& extensaoPadrao) override;
  void MostraRelatorio(const Relatorio& r) override;

  // Texts of the notices of one kind (or of all kinds), in order.
  std::vector<std::string> Textos() const;
  std::vector<std::string> Textos(Aviso::Tipo tipo) const;

 private:
  std::size_t proximaResposta_ = 0, proximoArquivo_ = 0;
};

}  // namespace telvarim
