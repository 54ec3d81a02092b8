// The main window: the frame whose function tree opens the workspace and the disk exchange, and that holds
// the values the whole program shares.
#pragma once

#include <QPointer>
#include <cstdint>
#include <string>

#include "ugeral.h"

class QMdiSubWindow;

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

  void TVwGeralClick() override;

 protected:
  // Closing the program offers to save what an open workspace holds unsaved; the operator may stay.
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
};

extern QPointer<Tfprincipal> fprincipal;
