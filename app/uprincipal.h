// The main window: the frame whose function tree opens the workspace and the disk exchange, and that holds
// the values the whole program shares.
#pragma once

#include <QPointer>
#include <cstdint>
#include <string>

#include "ugeral.h"

class QMdiSubWindow;
class QTreeWidgetItem;

class Tfprincipal : public Tfgeral {
  Q_OBJECT

 public:
  explicit Tfprincipal(QWidget* parent = nullptr);

  // The program's values live in the process-wide record, where the engine reads and writes them; these are
  // the very same objects.
  std::string& VersaoModulo();
  double& FatorCentavos();
  std::int32_t& ModoArredondamento();

  // Shows a window as a maximised child of the frame, made active.
  QMdiSubWindow* AbreJanelaFilha(QWidget* janela);

  // Opens or closes function windows. The function window that would go asks first about values typed and
  // not saved; when the operator cancels, the click does nothing (the tree shows its node again).
  void TVwGeralClick() override;

  // The frame's size when it opens on a screen of that free area: the size the frame was drawn for (client
  // area 739 x 533), or, where the screen has room, one that shows the whole workspace without scrolling.
  static QSize TamanhoInicial(const QSize& areaLivre);

 protected:
  // Closing the program offers to save what an open workspace holds unsaved; the operator may stay.
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  // Puts back the tree's node of the function window that stays.
  void VoltaAoNoAtivo();

  QTreeWidgetItem* noAtivo_ = nullptr;  // the node that opened the function windows in front, if any
};

extern QPointer<Tfprincipal> fprincipal;
