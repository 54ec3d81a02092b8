// A folder list in the manner of the classic desktop folder box: the chain of folders from the drive's root
// down to the opened folder, then the subfolders of the opened folder. Double click or Enter opens the
// highlighted entry.
#pragma once

#include <QListWidget>
#include <QString>

namespace telvarim {

class ListaPastas : public QListWidget {
  Q_OBJECT

 public:
  explicit ListaPastas(QWidget* parent = nullptr);

  // The root the chain starts from (the chosen drive). A folder outside it shows from the file system's root.
  void DefineRaiz(const QString& raiz);
  // Opens a folder: the list shows it and its subfolders; pastaAberta follows.
  void AbrePasta(const QString& pasta);

  QString Pasta() const { return pasta_; }
  // The folder of the highlighted entry, whether or not it was opened; the opened folder when none is.
  QString PastaRealcada() const;

 signals:
  void pastaAberta(const QString& pasta);

 private:
  void Preenche();

  QString raiz_;
  QString pasta_;
};

}  // namespace telvarim
