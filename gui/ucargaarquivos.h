// The disk-exchange window: loads received files from a disk folder into the received-files folder and
// copies request files from the generated-files folder onto the company's disk.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "trocaarquivos.h"
#include "volumes.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QFrame;

namespace telvarim {

class ListaPastas;

// The operator's side of the exchange with real dialogs, titles and buttons as the operator knows them.
class DialogosTroca final : public OperadorTroca {
 public:
  explicit DialogosTroca(QWidget* pai) : pai_(pai) {}
  bool ConfirmaDisco(const std::string& pergunta) override;
  bool ConfirmaApagar(const std::string& pergunta) override;
  void Mensagem(const std::string& texto) override;
  void Advertencia(const std::string& texto) override;

 private:
  QPointer<QWidget> pai_;
};

}  // namespace telvarim

class Tfcargaarquivos : public QWidget {
  Q_OBJECT

 public:
  explicit Tfcargaarquivos(QWidget* parent = nullptr);
  ~Tfcargaarquivos() override;

  // Who answers the questions and reads the notices; nullptr puts the window's dialogs back. Not owned.
  void DefineOperador(telvarim::OperadorTroca* operador);

  void FileListBox1Change();
  void DirectoryListBox1Change();
  void DirectoryListBox2Change();
  void btnprocesso_inClick();
  void BitBtn1Click();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  void PreencheDrives(QComboBox* combo);
  void SincronizaDrive(QComboBox* combo, const QString& pasta);
  void LeFileListBox1();
  void LeFileListBox2();
  telvarim::OperadorTroca& Operador();

  QFrame* PnlCadGeral = nullptr;
  QLabel* imgBarraFer1 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QComboBox* DriveComboBox1 = nullptr;
  telvarim::ListaPastas* DirectoryListBox1 = nullptr;
  QListWidget* FileListBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* lblarqcarga = nullptr;
  QPushButton* btnprocesso_in = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QListWidget* FileListBox2 = nullptr;
  QGroupBox* GroupBox4 = nullptr;
  QComboBox* DriveComboBox2 = nullptr;
  telvarim::ListaPastas* DirectoryListBox2 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* lblarqgerados = nullptr;
  QPushButton* BitBtn1 = nullptr;

  std::vector<telvarim::Volume> volumes_;
  QString pastaCarga_;    // the folder FileListBox1 shows
  QString pastaGerados_;  // the folder FileListBox2 shows
  telvarim::DialogosTroca dialogos_;
  telvarim::OperadorTroca* operador_ = nullptr;
};

// The exchange window the function tree opened last; nothing reads it back.
extern QPointer<Tfcargaarquivos> fcargaarquivos;
