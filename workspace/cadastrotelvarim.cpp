#include "cadastrotelvarim.h"

#include <system_error>

#include "cp1252.h"
#include "pastas.h"

namespace fs = std::filesystem;

namespace telvarim {

using namespace literais;

void ListaArquivosTela::Update() {
  Items = ListaArquivos(Directory, Mask);
  if (ItemIndex >= Count()) ItemIndex = Count() - 1;
}

fs::path ListaArquivosTela::Caminho(int i) const {
  if (i < 0 || i >= Count()) return {};
  return Directory / CaminhoDeTexto(Items[static_cast<std::size_t>(i)]);
}

CadastroTelvarim::CadastroTelvarim(Operador& operador, Tabelas& tabelas, ValoresPrograma& programa,
                                   const Relogio& relogio)
    : op_(operador), tab_(tabelas), prog_(programa), relogio_(relogio) {
  lbltipoultacc.Caption = "Último Arquivo Acessado : "_cp;
  lbltipoultacc.Visible = lblultacesso.Visible = false;
}

CadastroTelvarim::~CadastroTelvarim() { FormClose(); }

void CadastroTelvarim::FormCreate() {
  std::error_code ec;
  for (const fs::path& p : {PastaRecebidos(), telvarim::PastaGerados(), telvarim::PastaRascunho(), PastaProcessados()})
    fs::create_directories(p, ec);  // a folder that cannot be made shows as an empty list

  IndiceArquivoRecebido = 0;
  UltimoAcessado.clear();
  PaginaAtiva = Pagina::tbarquivos;

  PastaRascunho = telvarim::PastaRascunho();
  PastaGerados = telvarim::PastaGerados();
  RetomandoRascunho = false;

  std::vector<std::string> rascunhos = ListaArquivos(PastaRascunho, MascaraRascunhos);
  if (!rascunhos.empty()) {
    const std::string encontrado = rascunhos.back();
    if (op_.Confirma("Existe arquivo de Recarga em Alteração.Continua Alteração?"_cp)) {
      FLBArquivosRecargaRecebidos.Directory = PastaRascunho;
      FLBArquivosRecargaRecebidos.Mask = std::string(MascaraRascunhoRetomado);
      FLBArquivosRecargaRecebidos.Update();
      FLBArquivosRecargaRecebidos.ItemIndex = FLBArquivosRecargaRecebidos.Count() > 0 ? 0 : -1;
      RetomandoRascunho = true;
      btnprocessarClick();
    } else {
      fs::remove(PastaRascunho / CaminhoDeTexto(encontrado), ec);
    }
  }
  PageControl1Change();
}

void CadastroTelvarim::PageControl1Change() {
  ImportandoArquivo = false;
  if (PaginaAtiva != Pagina::tbarquivos) return;

  auto& rec = FLBArquivosRecargaRecebidos;
  rec.Directory = PastaRecebidos();
  rec.Mask = std::string(MascaraRecebidos);
  rec.Update();
  lblarqproc.Caption = std::to_string(rec.Count());
  if (rec.Count() > 0) rec.ItemIndex = 0;

  auto& proc = FLBArquivosRecargaProcessados;
  proc.Directory = PastaProcessados();
  proc.Mask = std::string(MascaraRecebidos);
  proc.Update();
  lblarqjaproc.Caption = std::to_string(proc.Count());
  lblultimoarquivo.Caption = proc.Count() > 0 ? proc.Items.back() : "Não Há Arquivos Processados"_cp;

  lblultacesso.Caption = UltimoAcessado;
  lblultacesso.Visible = lbltipoultacc.Visible = !UltimoAcessado.empty();

  auto& ger = FLBArquivosRecargaGerados;
  ger.Directory = telvarim::PastaGerados();
  ger.Mask = std::string(MascaraGerados);
  ger.Update();
  lblarqgerado.Caption = std::to_string(ger.Count());
  lblultimogerado.Caption = ger.Count() > 0 ? ger.Items.back() : "Não Há Arquivos Gerados"_cp;
}

void CadastroTelvarim::FormClose() {
  LinhasArquivo.reset();
  LinhasPedido.reset();
}

void CadastroTelvarim::btnFecharClick() {
  PaginaAtiva = Pagina::tbarquivos;
  PageControl1Change();
}

void CadastroTelvarim::btnprocessarClick() {
  // Processing of the selected file comes with the received-file reader.
}

}  // namespace telvarim
