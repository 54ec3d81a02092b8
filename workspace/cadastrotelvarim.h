// The recharge workspace ("Cadastro Telvarim") as engine logic: the window's state and operations without
// any widget. The window Tfcadtelvarim owns one of these and shows its state; everything the engine needs
// from the operator goes through the Operador seam, and every rule that reads or writes cell text works on
// the text grid sgRecarga.
//
// One class, its members spread over files by concern:
//   cadastro_arquivos.cpp       creation, the file page, closing
//   cadastro_processamento.cpp  processing a received file or a resumed draft
//   cadastro_grade.cpp          the card-type and tariff views, editing and totals
//   cadastro_geracao.cpp        the request file and drafts
//   cadastro_classificacao.cpp  ordering the grid
// The rules themselves are plain functions over values, tested on their own: totais.h (credit price and
// totals), pedido.h (the request's lines), atualizacao.h (the write-back match), classificacao.h (keys and
// order), falhas.h (why a step failed, in words). The class sequences the steps and talks to the operator.
//
// Handlers (the ...Click / ...Change / ...Exit / ...KeyPress members) never throw: a text that must convert
// and does not ends the operation with an error box, a refused value ends it silently. The operations they
// call (AtualizaArrayRecargas, ValidaValorDigitado, ...) throw ErroConversao or Abortado instead.
#pragma once

#include <cstdint>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "codecs.h"
#include "datetime.h"
#include "falhas.h"
#include "gradetexto.h"
#include "numbers.h"
#include "operador.h"
#include "pastas.h"
#include "records.h"
#include "tabelas.h"

namespace telvarim {

// A file list of the file page: a folder, a mask, the matching names and the selected entry.
struct ListaArquivosTela {
  std::filesystem::path Directory;
  std::string Mask;
  std::vector<std::string> Items;  // plain names, sorted
  int ItemIndex = -1;

  void Update();                                                              // re-reads the folder
  void Mostra(const std::filesystem::path& pasta, std::string_view mascara);  // points it there, re-read
  int Count() const { return static_cast<int>(Items.size()); }
  std::filesystem::path Caminho(int i) const;  // full path of entry i (empty when out of range)
};

struct Rotulo {
  std::string Caption;
  bool Visible = true;
};

struct Caixa {
  std::vector<std::string> Items;
  int ItemIndex = -1;
  std::string Texto() const {
    return ItemIndex >= 0 && ItemIndex < static_cast<int>(Items.size()) ? Items[static_cast<std::size_t>(ItemIndex)]
                                                                        : std::string();
  }
};

// Ends an operation after the operator was told why (a refused value): unwinds to the handler, which shows
// nothing further.
struct Abortado : std::exception {
  const char* what() const noexcept override { return "abort"; }
};

// Outcome of opening and expanding the file to process (LinhasArquivo then holds its lines).
enum class ResultadoAbertura { Pronto = 1, FalhaExpansao = 2, FalhaAbertura = 3 };
// Outcome of packing the request's lines into the final file.
enum class ResultadoEmpacotamento { Gravado = 1, FalhaCompactacao = 2, FalhaSelagem = 3 };
// Outcome of one generation: NadaGravado when it ended before packing (a value the request cannot carry).
enum class ResultadoGeracao { NadaGravado, Gravado, FalhaCompactacao, FalhaSelagem };
// Outcome of a step that follows a written request or draft (its .LOG, the move of the received file).
enum class Desfecho { NaoTentado, Feito, Falhou };

class CadastroTelvarim {
 public:
  enum class Pagina { tbarquivos, tbDigitacao, tblog };
  enum class Alinhamento { Centro, Esquerda, Direita };
  enum class Tecla { Cima, Baixo, Outra };

  // `pastas`: the work folders, decided by the caller (the program's start-up, the command line, a test).
  CadastroTelvarim(Operador& operador, const PastasTrabalho& pastas, Tabelas& tabelas = TabelasProcesso(),
                   ValoresPrograma& programa = Programa(), const Relogio& relogio = RelogioPadrao(),
                   Codecs& codecs = CodecsProduto());
  ~CadastroTelvarim();
  CadastroTelvarim(const CadastroTelvarim&) = delete;
  CadastroTelvarim& operator=(const CadastroTelvarim&) = delete;

  // --- life of the window ---
  void FormCreate();
  void CriaPastasTrabalho();  // creation step 1: Recebidos, Gerados, Rascunho, Processados
  void PageControl1Change();  // refresh of the file page
  void FormClose();
  void btnFecharClick();  // back to the file page, refreshed

  // --- processing of the selected received file (or of the resumed draft) ---
  void btnprocessarClick();
  // Opens (unless resuming a draft) and expands the file through "TMP2.REC" and "TMP1.REC" beside it, then
  // reads the text's lines into LinhasArquivo, at most kMaxLinhasArquivo of them. The temporaries are
  // private from their first byte and gone when it returns, whatever the outcome; a failure leaves its cause
  // in UltimaFalha.
  ResultadoAbertura AbreEDescompacta(const std::filesystem::path& arquivo);
  bool Proc_header(std::size_t i);
  bool Proc_detalhe(std::size_t i);
  bool Proc_tipocartao(std::size_t i);
  bool Proc_tarifa(std::size_t i);
  bool Proc_trailer(std::size_t i);

  // --- card-type and tariff views ---
  void cbtipocartaoChange();
  void cbtarifaChange();
  void HabilitaControles(bool habilitado);
  void MostraProgresso(bool visivel);
  void MostraContador(int n);

  // --- editing and totals ---
  static Alinhamento AlinhamentoCelula(int col, int row);  // how sgRecargaDrawCell places a cell's text
  bool sgRecargaSelectCell(int col, int row);
  void sgRecargaKeyPress(char tecla);  // '\r' is Enter; other keys pass through untouched
  void sgRecargaKeyDown(Tecla tecla);
  void sgRecargaExit();
  void btnalteravlrClick();
  bool edalteravlrExit();  // false when the value is refused (the focus goes back to the edit)
  void BitBtn1Click();

  void ValidaValorDigitado();    // throws Abortado after a refused value
  void AtualizaArrayRecargas();  // throws ErroConversao on a value cell that does not parse
  void CalculaGrid();
  void CalculaRecargasGeral();
  double ArredondaValor(double x, int casas) const;  // by the program's rounding mode (totais.h)
  double PrecoCredito(std::int32_t tipoCartao, std::int32_t tarifa) const;

  // --- request file and drafts ---
  void btngerararquivoClick();
  void btnsalvarrascunhoClick();
  ResultadoGeracao GeraArquivo(const std::filesystem::path& pasta, bool rascunho);
  // Writes the request (or the draft) under a temporary name ending in kSufixoParcial, which matches no file
  // list, and gives it its name only once it is complete and on the disk: after a crash the folder holds the
  // whole file or none. The temporaries are removed whatever the outcome.
  ResultadoEmpacotamento CompactaCriptografa(bool rascunho);
  void ApagaRascunhos(const std::filesystem::path& exceto = {});

  // --- ordering ---
  void rbClassificacaoClick();
  void ClassificaGrid();

  // --- printed listing ---
  void btnimpressaoClick();       // write-back, then the listing in the operator's report preview
  Relatorio RelatorioListagem();  // the listing of the tables as they stand, in the selected order

  // --- import of values from an external file ---
  void btnimportararqClick();  // file-open dialog, the import, its messages and result report
  // The first holder in table order with that matrícula (trimmed, exact) and card type (code as text);
  // remembered in UsuarioLocalizado. Holders of every card type can be found.
  bool LocalizaUsuario(const std::string& matricula, const std::string& codigo);
  // Stores the value in group 1 of the holder found, unless the code is 0, the value is negative or above
  // the maximum of that card type.
  bool AtualizaValorImportado(double valor, const std::string& codigo);

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
  ResultadoGeracao UltimaGeracao = ResultadoGeracao::NadaGravado;  // of the last GeraArquivo
  std::int32_t UsuarioLocalizado = -1;                             // holder found by the last LocalizaUsuario
  bool UltimaImportacao = false;                                   // every record of the last import was applied
  Desfecho LogGerado = Desfecho::NaoTentado;                       // the last generation's .LOG
  Desfecho MovimentoRecebido = Desfecho::NaoTentado;               // the last generation's move into Processados
  CausaFalha UltimaFalha;  // the cause of the last step that failed (also shown on the log page)

  // File page.
  ListaArquivosTela FLBArquivosRecargaRecebidos, FLBArquivosRecargaProcessados, FLBArquivosRecargaGerados;
  Rotulo lblarqproc, lblarqjaproc, lblultimoarquivo, lbltipoultacc, lblultacesso, lblarqgerado, lblultimogerado;

  // Typing page.
  Rotulo lblempresa, lbldata, lblcripta, lblseq, lblregistros{"", false};
  Caixa cbtipocartao, cbtarifa;
  Rotulo lbltipo, lbltarifa;
  GradeTexto sgRecarga;
  int rbClassificacao = 0;           // 0 "Código", 1 "Alfabética", 2 "Matricula"
  std::string edalteravlr = "0,00";  // text of the default-value edit
  int edalteravlrDecimais = 2;
  Rotulo lblqtdrec, lblvlrrecdig, lblqtdrecdig, lblgervlrdig, lblgerqtddig;
  Rotulo Label18, Label19{"Registros Processados: ", false};
  bool ControlesHabilitados = true;  // btnalteravlr, btnimpressao, ..., rbClassificacao, sgRecarga together
  bool ProgressoVisivel = false;     // CGauge1, Label18, Label19 together
  int GaugeMaximo = 0, GaugeProgresso = 0;
  bool btnimpressaoEnabled = true, btnimportararqEnabled = true;

  Operador& operador() { return op_; }
  const PastasTrabalho& pastas() const { return pastas_; }
  Tabelas& tabelas() { return tab_; }
  ValoresPrograma& programa() { return prog_; }

 private:
  const RegTipoCartao& TipoAtual() const { return tab_.TipoCartao(TipoCartaoAtual); }
  void DefineValorPadrao(Moeda v);
  void Enter();
  void EscreveTitulos(bool credito);
  void PreencheLinha(int row, const RegListagem& e);  // columns 0-5 of a holder's row
  void LogBannerFim();
  // Rows whose value the request's group has no room for get 0, with a line on the log page.
  void ZeraSemEspaco();
  static std::string MensagemSemEspaco(int grupo, bool credito);
  // The first holder with a negative value, with a line on the log page naming it; false when none.
  bool AchaValorNegativo();
  // The lines, CR LF after each, as the whole content of `arquivo`.
  std::error_code SalvaLinhas(const std::filesystem::path& arquivo, const std::vector<std::string>& linhas,
                              bool privado) const;
  // Keeps the cause of a failed step and shows it on the log page.
  void RegistraFalha(CausaFalha causa);
  // Says in words that memory ran out (box and log), without needing much of it.
  void ReportaFaltaMemoria() noexcept;
  void ProcessaArquivo();  // btnprocessarClick's body
  // Runs a handler's body: a refused value ends it silently, a text that does not convert with an error box,
  // and so does a lack of memory, in words.
  template <class F>
  void Protegido(F&& f) {
    try {
      f();
    } catch (const Abortado&) {
    } catch (const ErroConversao& e) {
      op_.Erro(e.what());
    } catch (const std::bad_alloc&) {
      ReportaFaltaMemoria();
    }
  }

  Operador& op_;
  PastasTrabalho pastas_;
  Tabelas& tab_;
  ValoresPrograma& prog_;
  const Relogio& relogio_;
  Codecs& codecs_;
  std::string motivoExcesso_[6];  // first reason of each record kind that exceeded the tables
  // Holders by matrícula and card type, for the import; rebuilt after each processing.
  struct IndiceUsuarios {
    std::unordered_map<std::string, std::int32_t> mapa;
    std::int32_t qtd = -1;
    unsigned geracao = 0;
  } indiceUsuarios_;
  unsigned geracaoTabelas_ = 0;  // counts processings: the index belongs to one of them
};

}  // namespace telvarim
