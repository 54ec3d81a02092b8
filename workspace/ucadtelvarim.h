// The recharge workspace window. For now only its frame: the function tree opens it as a child window.
#pragma once

#include <QPointer>
#include <QWidget>

class Tfcadtelvarim : public QWidget {
  Q_OBJECT

 public:
  explicit Tfcadtelvarim(QWidget* parent = nullptr);
};

// The workspace window the function tree opened last; nothing reads it back.
extern QPointer<Tfcadtelvarim> fcadtelvarim;
