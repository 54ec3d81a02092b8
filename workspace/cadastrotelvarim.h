// The recharge workspace ("Cadastro Telvarim") as an engine: the received file at hand, the view of one card
// type and tariff over the holder table, and the operations an operator runs on them. It holds no widget
// and no text of a control: the window Tfcadtelvarim owns one of these, shows its values as captions and
// cells, and asks it to do things; everything the engine needs from the operator goes through the Operador
// seam.
//
// One copy of every value: the holder table. The view is a list of (holder, group) references; a value is
// checked and stored into its holder when it is typed, imported, defaulted or copied, or refused with the
// operator told why and nothing stored. Totals are read from the holders.
//
// One class, its members spread over files by concern:
//   cadastro_arquivos.cpp       opening, the file page's lists, closing
//   cadastro_processamento.cpp  processing a received file or a resumed draft
//   cadastro_vista.cpp          the view, typing, the default value, the last recharges, totals
//   cadastro_geracao.cpp        the request file and drafts
//   cadastro_classificacao.cpp  ordering the view
//   cadastro_listagem.cpp       the printed listing
//   cadastro_importacao.cpp     the import of values
// The rules themselves are plain functions over values, tested on their own: vista.h (rows, the stored
// value), totais.h, pedido.h, classificacao.h, listagem.h, falhas.h.
//
// Every operation returns a Resultado and never throws: a refused value, a text that does not convert or a
// lack of memory ends it with the operator told and the cause in the result.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "classificacao.h"
#include "codecs.h"
#include "datetime.h"
#include "falhas.h"
#include "numbers.h"
#include "operador.h"
#include "pastas.h"
#include "records.h"
#include "respostas.h"
#include "tabelas.h"
#include "totais.h"
#include "vista.h"

namespace telvarim {

// A list of files of one folder: the folder, a mask, the matching names and the selected entry.
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

// How an operation ended.
struct Resultado {
  enum class Estado {
    Feito,     // done
    Recusado,  // the operator's input was refused (told why); nothing changed
    Falhou,    // a step failed (told why); see the cause
  };
  Estado estado = Estado::Feito;
  std::string motivo;  // the words the operator was shown, cp1252 (empty when done)

  bool Feito() const { return estado == Estado::Feito; }
  static Resultado Ok() { return {}; }
  static Resultado Recusa(std::string m) { return {Estado::Recusado, std::move(m)}; }
  static Resultado Falha(std::string m) { return {Estado::Falhou, std::move(m)}; }
};

// Outcome of opening and expanding the file to process (LinhasArquivo then holds its lines).
// PastaEmUso: the file's folder could not be held (the operator was told).
enum class ResultadoAbertura { Pronto = 1, FalhaExpansao = 2, FalhaAbertura = 3, PastaEmUso = 4 };
// Outcome of packing the request's lines into the final file.
enum class ResultadoEmpacotamento { Gravado = 1, FalhaCompactacao = 2, FalhaSelagem = 3 };
// Outcome of one generation: NadaGravado when it ended before packing (a value the request cannot carry, a
// folder in use, a received file that could not follow its request); JaRespondido when the received file's
// identity was answered already (nothing written; PedidoAnterior names the request); RespostaConcluida
// when its answer was in place and only the move of the received file was left to do (done now).
enum class ResultadoGeracao { NadaGravado, Gravado, FalhaCompactacao, FalhaSelagem, JaRespondido, RespostaConcluida };
// Outcome of a step that follows a written request or draft (its .LOG, the move of the received file).
enum class Desfecho { NaoTentado, Feito, Falhou };

// The progress of a long operation (the records of an import), for a gauge and a running count.
struct Andamento {
  bool Visivel = false;
  int Maximo = 0;
  int Feitos = 0;
};

class CadastroTelvarim {
 public:
  enum class Pagina { Arquivos, Digitacao, Log };

  // `pastas`: the work folders, decided by the caller (the program's start-up, the command line, a test).
  CadastroTelvarim(Operador& operador, const PastasTrabalho& pastas, Tabelas& tabelas = TabelasProcesso(),
                   ValoresPrograma& programa = Programa(), const Relogio& relogio = RelogioPadrao(),
                   Codecs& codecs = CodecsProduto());
  ~CadastroTelvarim();
  CadastroTelvarim(const CadastroTelvarim&) = delete;
  CadastroTelvarim& operator=(const CadastroTelvarim&) = delete;

  // --- opening and closing ---
  // Makes the work folders, offers to resume a draft (processing it on Yes), and reads the file lists.
  Resultado Abre();
  void CriaPastasTrabalho();  // Recebidos, Gerados, Rascunho, Processados
  // Re-reads the three lists (only while the file page is shown) and ends any import.
  void AtualizaListas();
  void Fecha();  // releases the line lists
  void VoltaAosArquivos();

  // --- processing the selected received file (or the resumed draft) ---
  Resultado Processa();
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

  // --- the view of one card type and tariff ---
  // Shows the holders of that card type with a group of that tariff, in table order.
  Resultado MostraTipoTarifa(std::int32_t tipo, std::int32_t tarifa);
  const std::vector<LinhaVista>& Vista() const { return vista_; }
  int QtdLinhas() const { return static_cast<int>(vista_.size()); }
  // Columns of the grid: 9, raised to 18 by the first credit card type and never lowered again.
  int Colunas() const { return colunas_; }
  bool VistaEmCreditos() const { return TipoAtual().PorCreditos != 0; }
  const char* FormatoValor() const { return FormatoDoTipo(TipoAtual()); }
  // Counts the fills and orderings of the view: a view shown elsewhere is rebuilt when it changes.
  unsigned MudancasVista() const { return mudancasVista_; }
  // Texts of the grid (cp1252): a column's title, and the cell of row `linha` (0 = first holder shown).
  std::string TituloColuna(int coluna) const;
  std::string TextoCelula(int linha, int coluna) const;
  static int LarguraColuna(int coluna);
  const RegUsuario& UsuarioDaLinha(int linha) const;
  double ValorDaLinha(int linha) const;
  // Why row `linha` can take no value but 0, in the operator's words (cp1252); empty when it can take one.
  std::string MotivoSemRecarga(int linha) const;

  // --- finding a holder ---
  // The next holder of the file, after the one on row `linha`, whose code, card number, matrícula or name
  // holds `texto` (case and accents do not count). Holders are gone through view by view, in the order of the
  // card-type and tariff choices: the rows of the view shown as they stand, every other holder under its card
  // type and the first tariff of its groups, in table order; after the last, the first again. A holder the
  // view does not show is shown first. The row that shows the holder, or -1 when none matches.
  int ProcuraTitular(std::string_view texto, int linha);

  // --- values ---
  // The value typed for row `linha`: checked and stored into its holder, or refused (the operator told why)
  // with nothing stored.
  Resultado DigitaValor(int linha, std::string_view texto);
  // The default value for every row of the view, after the same checks; rows whose group the request
  // cannot carry it in get 0 (a line on the log page says how many).
  Resultado AplicaValorPadrao(std::string_view texto);
  // Whether a default value may be applied: refused (the operator told) above the card type's maximum.
  Resultado ConfereValorPadrao(std::string_view texto);
  // Each row's last recharge as its value.
  Resultado CopiaUltimasRecargas();

  // Totals of the rows of the view, and of every holder of the file.
  Totais TotaisVista() const;
  Totais TotaisArquivo() const;
  double ArredondaValor(double x, int casas) const;  // by the program's rounding mode (totais.h)
  double PrecoCredito(std::int32_t tipoCartao, std::int32_t tarifa) const;

  // --- ordering ---
  Resultado Classifica(Classificacao ordem);
  Classificacao Ordem = Classificacao::Codigo;

  // --- request file and drafts ---
  Resultado GeraPedido();
  Resultado SalvaRascunho();
  ResultadoGeracao GeraArquivo(const std::filesystem::path& pasta, bool rascunho);
  // Writes the request (or the draft) under a temporary name ending in kSufixoParcial, which matches no file
  // list, and gives it its name only once it is complete and on the disk: after a crash the folder holds the
  // whole file or none. The temporaries are removed whatever the outcome.
  ResultadoEmpacotamento CompactaCriptografa(bool rascunho);
  void ApagaRascunhos(const std::filesystem::path& exceto = {});

  // --- printed listing ---
  Resultado Imprime();            // the listing in the operator's report preview
  Relatorio RelatorioListagem();  // the listing of the tables as they stand, in the chosen order

  // --- import of values from an external file ---
  Resultado ImportaValores();  // file-open dialog, the import, its messages and result report
  // The first holder in table order with that matrícula (trimmed, exact) and card type (code as text);
  // remembered in UsuarioLocalizado. Holders of every card type can be found.
  bool LocalizaUsuario(const std::string& matricula, const std::string& codigo);
  // Stores the value in group 1 of the holder found, unless the code is 0, the value is negative or above
  // the maximum of that card type; a credit value is kept as whole credits.
  bool AtualizaValorImportado(double valor, const std::string& codigo);

  // --- what the window shows ---
  Pagina PaginaAtiva = Pagina::Arquivos;

  // The received file at hand.
  RegCabecalho Cabecalho;
  bool CabecalhoLido = false;  // the file had a header record
  std::string SeqArquivo;      // characters 11-14 of the header's file name: the request's sequence
  RegRodape Rodape;
  bool RodapeLido = false;
  std::int32_t QtdUsuarios = 0;
  // The card types and tariffs of the file, in file order (the codes of the two choices).
  std::vector<std::int32_t> TiposDoArquivo, TarifasDoArquivo;
  std::int32_t TipoCartaoAtual = 0;
  std::int32_t TarifaAtual = 0;
  const RegTipoCartao& TipoAtual() const { return tab_.TipoCartao(TipoCartaoAtual); }

  // Consistency flags of the last processing: true unless a record of that kind failed.
  bool ConsisteHeader = true, ConsisteDetalhe = true, ConsisteTarifa = true, ConsisteTipoCartao = true,
       ConsisteTrailer = true, ConsisteEventos = true;

  std::optional<std::vector<std::string>> LinhasArquivo;  // lines of the file being processed
  std::optional<std::vector<std::string>> LinhasPedido;   // lines of the request or draft being written

  // The three lists of the file page.
  ListaArquivosTela Recebidos, Processados, Gerados;
  std::filesystem::path ArquivoEmProcesso;
  std::int32_t IndiceArquivoRecebido = 0;
  std::string UltimoAcessado;  // name of the last file processed successfully; empty until then
  bool RetomandoRascunho = false;
  std::filesystem::path PastaRascunho;
  std::filesystem::path PastaGerados;
  std::string ArquivoGerado, ArquivoLog;

  Andamento Progresso;
  bool ControlesHabilitados = true;  // the typing page's controls, off while a long operation runs
  bool ImportandoArquivo = false;

  ResultadoGeracao UltimaGeracao = ResultadoGeracao::NadaGravado;  // of the last GeraArquivo
  std::string PedidoAnterior;           // the request that had answered the file, when the last generation found one
  bool RecebidoComRascunho = false;     // a draft saved in this window took the received file to Processados
  std::int32_t UsuarioLocalizado = -1;  // holder found by the last LocalizaUsuario
  bool UltimaImportacao = false;        // every record of the last import was applied
  Desfecho LogGerado = Desfecho::NaoTentado;          // the last generation's .LOG
  Desfecho MovimentoRecebido = Desfecho::NaoTentado;  // the last generation's move into Processados
  CausaFalha UltimaFalha;  // the cause of the last step that failed (also shown on the log page)

  // Who this program is, as a folder's lock names its holder to the next comer.
  std::string NomeDoPrograma = "telvarim";
  // How long a step waits for a folder another program is writing.
  std::chrono::milliseconds EsperaPastas{15000};
  // Tests only: called at the named points of a generation ("antes-do-pedido", "pedido-gravado",
  // "resposta-registrada", "recebido-movido") and of a processing ("arquivo-aberto"), to stop or end the
  // program there.
  std::function<void(std::string_view fase)> PontoDeControle;

  Operador& operador() { return op_; }
  const PastasTrabalho& pastas() const { return pastas_; }
  Tabelas& tabelas() { return tab_; }
  const Tabelas& tabelas() const { return tab_; }
  ValoresPrograma& programa() { return prog_; }
  const Relogio& relogio() const { return relogio_; }

 private:
  // Ends an operation after the operator was told why: unwinds to the operation's Protegido.
  struct Recusa {
    std::string motivo;
  };
  [[noreturn]] void Recusa_(std::string mensagem, bool erro = false);
  void LogBannerFim();
  // The operator declined to resume draft `rascunho`: its received file goes back to Recebidos when no
  // request answers it, then the draft and its .LOG are deleted; the operator is told first.
  void DescartaRascunho(const std::string& rascunho);
  // Holds the folders a step writes (and clears what interrupted steps left there); false, with the operator
  // told, when one is in use past the wait or cannot be locked.
  bool ReservaPastas(const std::vector<std::filesystem::path>& pastas, TravaPastas& travas);
  void Marca(std::string_view fase);
  // The received file's identity was answered: completes an interrupted answer or refuses a second one.
  ResultadoGeracao RespondeDeNovo(const RegistroResposta& anterior, bool noLivro);
  void MoveRecebido();
  // The first holder with a negative value, with a line on the log page naming it; false when none.
  bool AchaValorNegativo();
  // The lines, CR LF after each, as the whole content of `arquivo`.
  std::error_code SalvaLinhas(const std::filesystem::path& arquivo, const std::vector<std::string>& linhas,
                              bool privado) const;
  // Keeps the cause of a failed step and shows it on the log page.
  void RegistraFalha(CausaFalha causa);
  // Says in words that memory ran out (box and log), without needing much of it.
  std::string ReportaFaltaMemoria() noexcept;
  Resultado ProcessaArquivo();
  // A value checked for row `linha` of the view: the stored value, or refused through Recusa_.
  Moeda ConfereValor(int linha, Moeda v);
  void Guarda(int linha, Moeda v);
  // Runs an operation's body: a refusal, a text that does not convert and a lack of memory end it with the
  // operator told.
  template <class F>
  Resultado Protegido(F&& f) {
    try {
      return f();
    } catch (const Recusa& r) {
      return Resultado::Recusa(r.motivo);
    } catch (const ErroConversao& e) {
      op_.Erro(e.what());
      return Resultado::Falha(e.what());
    } catch (const std::bad_alloc&) {
      return Resultado::Falha(ReportaFaltaMemoria());
    }
  }

  Operador& op_;
  PastasTrabalho pastas_;
  Tabelas& tab_;
  ValoresPrograma& prog_;
  const Relogio& relogio_;
  Codecs& codecs_;
  std::string motivoExcesso_[6];  // first reason of each record kind that exceeded the tables
  std::vector<LinhaVista> vista_;
  int colunas_ = 9;
  unsigned mudancasVista_ = 0;
};

}  // namespace telvarim
