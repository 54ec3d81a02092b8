#include "ucadtelvarim.h"

QPointer<Tfcadtelvarim> fcadtelvarim;

Tfcadtelvarim::Tfcadtelvarim(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("fcadtelvarim"));
  setWindowTitle(QStringLiteral("Cadastro Telvarim"));
}
