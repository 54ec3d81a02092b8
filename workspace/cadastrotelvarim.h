// The recharge workspace ("Cadastro Telvarim") as engine logic: the window's state and operations without
// any widget. The window Tfcadtelvarim owns one of these and shows its state; everything the engine needs
// from the operator goes through the Operador seam.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "datetime.h"
#include "gradetexto.h"
#include "operador.h"
#include "records.h"
#include "tabelas.h"

namespace telvarim {

// A file list of the file page: a folder, a mask, the matching names and the selected entry.
struct ListaArquivosTela {
  std::filesystem::path Directory;
  std::string Mask;
  std::vector<std::string> Items;  // plain names, sorted
  int ItemIndex = -1;

  void Update();  // re-reads the folder
  int Count() const { return static_cast<int>(Items.size()); }
  std::filesystem::path Caminho(int i) const;  // full path of entry i
};

struct Rotulo {
  std::string Caption;
  bool Visible = true;
};

class CadastroTelvarim {
 public:
  enum class Pagina { tbarquivos, tbDigitacao, tblog };

  explicit CadastroTelvarim(Operador& operador, Tabelas& tabelas = TabelasProcesso(),
                            ValoresPrograma& programa = Programa(), const Relogio& relogio = RelogioPadrao());
  ~CadastroTelvarim();
  CadastroTelvarim(const CadastroTelvarim&) = delete;
  CadastroTelvarim& operator=(const CadastroTelvarim&) = delete;

  // Life of the window.
  void FormCreate();
  void PageControl1Change();  // refresh of the file page
  void FormClose();
  void btnFecharClick();      // back to the file page, refreshed

  // Processing of the selected received file (or of the resumed draft).
  void btnprocessarClick();

  // --- state of the window ---
  Pagina PaginaAtiva = Pagina::tbarquivos;

  RegCabecalho CabecalhoArquivo;
  std::string SeqArquivo;
  RegRodape RodapeArquivo;
  std::int32_t QtdUsuarios = 0;
  std::int32_t TipoCartaoAtual = 0;
  std::int32_t TarifaAtual = 0;

  // Consistency flags of the last processing: true unless a record of that kind failed.
  bool ConsisteHeader = true, ConsisteDetalhe = true, ConsisteTarifa = true, ConsisteTipoCartao = true,
       ConsisteTrailer = true, ConsisteEventos = true;

  std::optional<std::vector<std::string>> LinhasArquivo;  // lines of the file being processed
  std::optional<std::vector<std::string>> LinhasPedido;   // lines of the request or draft being written

  std::filesystem::path ArquivoEmProcesso;
  std::int32_t IndiceArquivoRecebido = 0;
  std::string UltimoAcessado;
  bool RetomandoRascunho = false;
  std::string FormatoValor = "##0.00";
  std::filesystem::path PastaRascunho;
  std::filesystem::path PastaGerados;
  std::string ArquivoGerado, ArquivoLog;
  bool ImportandoArquivo = false;

  // File page.
  ListaArquivosTela FLBArquivosRecargaRecebidos, FLBArquivosRecargaProcessados, FLBArquivosRecargaGerados;
  Rotulo lblarqproc, lblarqjaproc, lblultimoarquivo, lbltipoultacc, lblultacesso, lblarqgerado, lblultimogerado;

  // Typing page.
  Rotulo lblempresa, lbldata, lblcripta, lblseq, lblregistros{"", false};
  GradeTexto sgRecarga;

  Operador& operador() { return op_; }
  Tabelas& tabelas() { return tab_; }
  ValoresPrograma& programa() { return prog_; }

 private:
  Operador& op_;
  Tabelas& tab_;
  ValoresPrograma& prog_;
  const Relogio& relogio_;
};

}  // namespace telvarim
