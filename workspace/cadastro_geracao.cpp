#include "cadastrotelvarim.h"

#include <fstream>
#include <system_error>

#include "cadastro_comum.h"
#include "cp1252.h"
#include "pedido.h"

namespace fs = std::filesystem;

namespace telvarim {

using namespace literais;
using namespace cadastro;

void CadastroTelvarim::btngerararquivoClick() {
  Protegido([&] {
    for (int j = 1; j < sgRecarga.RowCount(); ++j)
      if (LeParteNumerica(sgRecarga.Cell(5, j)) < 0) {
        op_.Mensagem(" Não é possível gerar recarga com valor menor do que 0.00 "_cp);
        return;
      }
    AtualizaArrayRecargas();
    // The grid shows one card type and tariff; a negative value typed in another one is in the table.
    if (AchaValorNegativo()) {
      op_.Mensagem(" Não é possível gerar recarga com valor menor do que 0.00 "_cp);
      return;
    }
    op_.LogAcrescenta("Geração de Arquivo Definitivo "_cp);
    struct Pagina_ {
      CadastroTelvarim& c;
      ~Pagina_() { c.PaginaAtiva = Pagina::tblog; }  // whatever the outcome
    } pagina{*this};
    GeraArquivo(PastaGerados, false);
  });
}

bool CadastroTelvarim::AchaValorNegativo() {
  for (std::int32_t i = 0; i < QtdUsuarios; ++i) {
    const RegUsuario& u = tab_.Usuarios[static_cast<std::size_t>(i)];
    for (const auto& g : u.Grupos)
      if (g.ValorRecarga < 0) {
        op_.LogAcrescenta("Valor negativo - Usuário : "_cp + NumeroTexto(u.CodUsuario) + " - Matrícula : "_cp +
                          u.Matricula + " - Tipo : " + NumeroTexto(u.TipoCartao) +
                          " - Tarifa : " + NumeroTexto(g.Tarifa));
        return true;
      }
  }
  return false;
}

void CadastroTelvarim::btnsalvarrascunhoClick() {
  Protegido([&] {
    AtualizaArrayRecargas();
    op_.LogAcrescenta("Geração de Arquivo Rascunho"_cp);
    if (GeraArquivo(PastaRascunho, true) == ResultadoGeracao::Gravado)
      op_.Mensagem("Arquivo de Rascunho Gravado com Sucesso!!");
  });
}

void CadastroTelvarim::ApagaRascunhos(const fs::path& exceto) {
  PastaRascunho = pastas_.Rascunho();
  std::error_code ec;
  std::vector<fs::path> arquivos;
  for (fs::directory_iterator it(PastaRascunho, ec), fim; !ec && it != fim; it.increment(ec)) {
    std::error_code ec2;
    if (it->is_regular_file(ec2) && it->path().filename() != exceto) arquivos.push_back(it->path());
  }
  for (const auto& a : arquivos) fs::remove(a, ec);  // files that cannot be deleted are passed over
}

bool CadastroTelvarim::SalvaLinhas(const fs::path& arquivo, const std::vector<std::string>& linhas) const {
  std::ofstream out(arquivo, std::ios::binary | std::ios::trunc);
  for (const auto& l : linhas) out << l << "\r\n";
  out.flush();
  return static_cast<bool>(out);
}

ResultadoGeracao CadastroTelvarim::GeraArquivo(const fs::path& pasta, bool rascunho) {
  UltimaGeracao = ResultadoGeracao::NadaGravado;
  ArquivoGerado.clear();
  ArquivoLog.clear();
  // The names come first: a sequence that is not a number ends the generation before any file, the
  // operator's draft included, is touched.
  const DataHora agora = relogio_.Agora();
  const std::int32_t seq = TextoParaInteiro(Trim(SeqArquivo), "SeqArquivo");
  ArquivoGerado = NomePedido(CabecalhoArquivo.CodEmpresa, seq, agora, ".REC");
  ArquivoLog = NomePedido(CabecalhoArquivo.CodEmpresa, seq, agora, ".LOG");

  const DataHora inicio = relogio_.Agora();
  CorpoPedido corpo;
  try {
    corpo = MontaCorpoPedido(tab_, QtdUsuarios);
  } catch (const ErroFormato& e) {
    // A value the layout cannot carry: nothing is written.
    LinhasPedido.emplace();
    op_.Mensagem(e.what());
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta(e.what());
    return ResultadoGeracao::NadaGravado;
  }
  const DataHora termino = relogio_.Agora();
  LinhasPedido = telvarim::LinhasPedido(
      CabecalhoPedido(CabecalhoArquivo, inicio, termino, ArquivoGerado, prog_.VersaoModulo), corpo);

  const ResultadoEmpacotamento r = CompactaCriptografa(rascunho);
  if (r == ResultadoEmpacotamento::FalhaCompactacao) {
    UltimaGeracao = ResultadoGeracao::FalhaCompactacao;
    op_.Mensagem("Erro ao Compactar o arquivo Temporário - Verifique!"_cp);
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta("Erro ao Compactar Arquivo - Verifique");
    return UltimaGeracao;
  }
  if (r == ResultadoEmpacotamento::FalhaSelagem) {
    UltimaGeracao = ResultadoGeracao::FalhaSelagem;
    op_.Mensagem("Erro ao Criptografar Arquivo - Verifique!");
    op_.LogAcrescenta("  ");
    op_.LogAcrescenta("Erro ao Criptograr Arquivo - Verifique");
    return UltimaGeracao;
  }
  UltimaGeracao = ResultadoGeracao::Gravado;
  // Only now that the new file is in place are the older drafts cleared.
  ApagaRascunhos(rascunho ? CaminhoDeTexto(ArquivoGerado) : fs::path());

  op_.LogAcrescenta(" ");
  op_.LogAcrescenta("Total de Registros Gerados ==>  " + lblqtdrec.Caption);
  op_.LogAcrescenta("Total em Créditos          ==>  "_cp + lblgerqtddig.Caption);
  op_.LogAcrescenta("Total em Valor             ==>  " + lblgervlrdig.Caption);
  op_.LogAcrescenta("  ");
  op_.LogAcrescenta("Arquivo Criptografado com Sucesso");
  op_.LogAcrescenta("Arquivo Compactado com Sucesso");
  op_.LogAcrescenta("  ");
  op_.LogAcrescenta("Arquivo Gerado ==> " + TextoCaminhoGerado(pasta / CaminhoDeTexto(ArquivoGerado)));
  op_.LogAcrescenta("Geração de Arquivo LOG"_cp);
  op_.LogAcrescenta("Arquivo Gerado ==> " + TextoCaminhoGerado(pasta / CaminhoDeTexto(ArquivoLog)));

  *LinhasPedido = op_.LogLinhas();
  if (!SalvaLinhas(pasta / CaminhoDeTexto(ArquivoLog), *LinhasPedido)) {
    op_.Mensagem("Erro ao Gravar o arquivo LOG - Verifique!");
    op_.LogAcrescenta("Erro ao Gravar o arquivo LOG - Verifique!");
  }

  if (!RetomandoRascunho) {
    const fs::path destino = pastas_.Processados() / ArquivoEmProcesso.filename();
    std::error_code ec;
    bool movido = false;
    if (!ArquivoEmProcesso.empty() && fs::is_regular_file(ArquivoEmProcesso, ec) && !fs::exists(destino, ec)) {
      fs::rename(ArquivoEmProcesso, destino, ec);
      movido = !ec;
    }
    op_.LogAcrescenta((movido ? "Arquivo Movido para " : "Erro ao Mover Arquivo para ") +
                      TextoCaminho(pastas_.Processados()) + " ");
  }

  op_.LogAcrescenta(" ");
  op_.LogAcrescenta(kIguais);
  op_.LogAcrescenta("===============  Fim de Processamento - Telvarim   ========================");
  op_.LogAcrescenta("===============     Data Proc: " + FormataDataHora(relogio_.Agora()) +
                    "     ==========================");
  op_.LogAcrescenta(kIguais);
  return UltimaGeracao;
}

ResultadoEmpacotamento CadastroTelvarim::CompactaCriptografa(bool rascunho) {
  const fs::path pasta = rascunho ? PastaRascunho : PastaGerados;
  const fs::path tmp1 = pasta / "TMP1.REC", tmp2 = pasta / "TMP2.REC", final = pasta / CaminhoDeTexto(ArquivoGerado);
  std::error_code ec;
  fs::remove(tmp1, ec);
  fs::remove(tmp2, ec);
  // A draft's temporaries never outlive the save: a leftover one would sit in the draft folder among the
  // drafts.
  struct LimpaRascunho {
    bool ativo;
    fs::path a, b;
    ~LimpaRascunho() {
      std::error_code e;
      if (ativo) fs::remove(a, e), fs::remove(b, e);
    }
  } limpa{rascunho, tmp1, tmp2};
  auto& linhas = *LinhasPedido;
  while (!linhas.empty() && TrimView(linhas.back()).empty()) linhas.pop_back();
  if (!SalvaLinhas(tmp1, linhas)) return ResultadoEmpacotamento::FalhaCompactacao;
  if (!codecs_.Compacta(tmp1, tmp2).Feito()) return ResultadoEmpacotamento::FalhaCompactacao;
  if (rascunho) {
    // The draft reaches its name only once it is complete, replacing an older one of the same name.
    fs::rename(tmp2, final, ec);
    return ec ? ResultadoEmpacotamento::FalhaCompactacao : ResultadoEmpacotamento::Gravado;
  }
  if (!codecs_.Sela(tmp2, final).Feito()) {
    fs::remove(final, ec);  // never a half-sealed file under a request's name
    return ResultadoEmpacotamento::FalhaSelagem;
  }
  fs::remove(tmp1, ec);
  fs::remove(tmp2, ec);
  return ResultadoEmpacotamento::Gravado;
}

}  // namespace telvarim
