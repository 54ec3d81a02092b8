#include "dialogos.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <chrono>
#include <filesystem>

#include "cp1252.h"
#include "pastas.h"
#include "tabelas.h"
#include "urepgeral.h"

namespace telvarim {

namespace {

std::function<void(const QString&)>& EscritorStatus() {
  static std::function<void(const QString&)> escritor;
  return escritor;
}

std::function<void(const QString&)>& EscritorAviso() {
  static std::function<void(const QString&)> escritor;
  return escritor;
}

// The folder of the last file chosen in a file dialog, for this run.
QString& UltimaPasta() {
  static QString pasta;
  return pasta;
}

// Long operations repaint about this often; more often only costs them time.
constexpr std::chrono::milliseconds kIntervaloRepintura{30};

qint64 AgoraMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void Notifica(QWidget* pai, QMessageBox::Icon icone, const QString& titulo, const QString& texto) {
  QMessageBox caixa(icone, titulo, texto, QMessageBox::Ok, pai);
  caixa.exec();
}

}  // namespace

QString ParaQt(const std::string& cp1252) { return QString::fromStdU16String(Cp1252ParaUtf16(cp1252)); }
std::string ParaCp1252(const QString& texto) { return Utf16ParaCp1252(texto.toStdU16String()); }

QString TituloAplicacao() {
  const QString t = QCoreApplication::applicationName();
  return t.isEmpty() ? QStringLiteral("Telvarim") : t;
}

void MostraMensagem(QWidget* pai, const QString& texto) {
  Notifica(pai, QMessageBox::NoIcon, TituloAplicacao(), texto);
}

void MostraAviso(QWidget* pai, TipoAviso tipo, const QString& texto) {
  switch (tipo) {
    case TipoAviso::Informacao:
      Notifica(pai, QMessageBox::Information, QStringLiteral("Information"), texto);
      break;
    case TipoAviso::Advertencia:
      Notifica(pai, QMessageBox::Warning, QStringLiteral("Warning"), texto);
      break;
    case TipoAviso::Erro:
      Notifica(pai, QMessageBox::Critical, QStringLiteral("Error"), texto);
      break;
  }
}

bool Pergunta(QWidget* pai, QMessageBox::Icon icone, const QString& titulo, const QString& texto, const QString& sim,
              const QString& nao, QMessageBox::ButtonRole papelNao) {
  QMessageBox caixa(icone, titulo, texto, QMessageBox::NoButton, pai);
  QAbstractButton* botaoSim = caixa.addButton(sim, QMessageBox::YesRole);
  QAbstractButton* botaoNao = caixa.addButton(nao, papelNao);
  caixa.setDefaultButton(qobject_cast<QPushButton*>(botaoSim));
  caixa.setEscapeButton(botaoNao);
  caixa.exec();
  return caixa.clickedButton() == botaoSim;
}

bool Confirma(QWidget* pai, const QString& texto) {
  return Pergunta(pai, QMessageBox::Question, QStringLiteral("Confirm"), texto, QStringLiteral("&Yes"),
                  QStringLiteral("&No"), QMessageBox::NoRole);
}

Resposta ConfirmaOuCancela(QWidget* pai, const QString& texto) {
  QMessageBox caixa(QMessageBox::Question, QStringLiteral("Confirm"), texto, QMessageBox::NoButton, pai);
  QAbstractButton* sim = caixa.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
  QAbstractButton* nao = caixa.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
  QAbstractButton* cancela = caixa.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
  caixa.setDefaultButton(qobject_cast<QPushButton*>(sim));
  caixa.setEscapeButton(cancela);
  caixa.exec();
  if (caixa.clickedButton() == sim) return Resposta::Sim;
  if (caixa.clickedButton() == nao) return Resposta::Nao;
  return Resposta::Cancela;
}

QString FiltroArquivos(std::string_view filtro) {
  const QStringList partes = ParaQt(std::string(filtro)).split(QLatin1Char('|'));
  QStringList filtros;
  for (qsizetype i = 0; i + 1 < partes.size(); i += 2) {
    const QString descricao = partes[i].trimmed();
    const QString padroes = partes[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    filtros << (descricao.endsWith(QLatin1Char(')')) ? descricao
                                                     : descricao + QStringLiteral(" (") + padroes + QLatin1Char(')'));
  }
  return filtros.join(QStringLiteral(";;"));
}

QString PastaDosDialogos() {
  const QString ultima = UltimaPasta();
  if (!ultima.isEmpty() && QFileInfo(ultima).isDir()) return ultima;
  return QString::fromStdU16String(Programa().Pastas.Raiz().u16string());
}

void LembraPastaDosDialogos(const QString& arquivo) {
  if (!arquivo.isEmpty()) UltimaPasta() = QFileInfo(arquivo).absolutePath();
}

QString EscolheArquivo(QWidget* pai, const QString& filtro, const QString& extensaoPadrao, const QString& pasta) {
  QFileDialog dialogo(pai);
  if (!pasta.isEmpty()) dialogo.setDirectory(pasta);
  dialogo.setObjectName(QStringLiteral("OpenDialog1"));
  dialogo.setAcceptMode(QFileDialog::AcceptOpen);
  dialogo.setFileMode(QFileDialog::ExistingFile);
  dialogo.setNameFilter(filtro);
  QString sufixo = extensaoPadrao;
  sufixo.remove(QLatin1Char('*')).remove(QLatin1Char('.'));
  dialogo.setDefaultSuffix(sufixo);
  if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return {};
  return QDir::toNativeSeparators(dialogo.selectedFiles().constFirst());
}

void DefinePainelStatus(std::function<void(const QString&)> escritor) { EscritorStatus() = std::move(escritor); }

void EscrevePainelStatus(const QString& texto) {
  if (EscritorStatus()) EscritorStatus()(texto);
}

void DefineAvisoStatus(std::function<void(const QString&)> escritor) { EscritorAviso() = std::move(escritor); }

void EscreveAvisoStatus(const QString& texto) {
  if (EscritorAviso()) EscritorAviso()(texto);
}

void DialogosQt::Mensagem(const std::string& texto) {
  ++avisos_;
  MostraMensagem(pai_, ParaQt(texto));
}

bool DialogosQt::Confirma(const std::string& texto) { return telvarim::Confirma(pai_, ParaQt(texto)); }

void DialogosQt::Informa(const std::string& texto) {
  ++avisos_;
  MostraAviso(pai_, TipoAviso::Informacao, ParaQt(texto));
}

void DialogosQt::Adverte(const std::string& texto) {
  ++avisos_;
  MostraAviso(pai_, TipoAviso::Advertencia, ParaQt(texto));
}

void DialogosQt::Erro(const std::string& texto) {
  ++avisos_;
  MostraAviso(pai_, TipoAviso::Erro, ParaQt(texto));
}

void DialogosQt::Status(const std::string& texto) { EscrevePainelStatus(ParaQt(texto)); }

void DialogosQt::LogAcrescenta(const std::string& linha) {
  log_.push_back(linha);
  if (memolog_) memolog_->appendPlainText(ParaQt(linha));
}

void DialogosQt::LogLimpa() {
  log_.clear();
  if (memolog_) memolog_->clear();
}

void DialogosQt::ProcessaMensagens() {
  if (antesDeProcessar_) antesDeProcessar_();
  const qint64 agora = AgoraMs();
  if (ultimoProcessamento_ >= 0 && agora - ultimoProcessamento_ < kIntervaloRepintura.count()) return;
  ultimoProcessamento_ = agora;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::string DialogosQt::AbreArquivo(const std::string& filtro, const std::string& extensaoPadrao) {
  const QString escolhido = EscolheArquivo(pai_, FiltroArquivos(filtro), ParaQt(extensaoPadrao), PastaDosDialogos());
  if (escolhido.isEmpty()) return {};
  LembraPastaDosDialogos(escolhido);
  ++arquivosEscolhidos_;
  return TextoCaminho(std::filesystem::path(escolhido.toStdU16String()));
}

void DialogosQt::MostraRelatorio(const Relatorio& r) { MostraPrevia(r, pai_); }

}  // namespace telvarim
