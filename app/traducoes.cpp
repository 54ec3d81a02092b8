#include "traducoes.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace telvarim {

bool InstalaTraducoes() {
  const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
  QLocale::setDefault(brasil);
  auto* traducao = new QTranslator(QCoreApplication::instance());
  const bool ok = traducao->load(brasil, QStringLiteral("qtbase"), QStringLiteral("_"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
                  traducao->load(QStringLiteral(":/traducoes/qtbase_pt_BR.qm"));
  if (!ok || !QCoreApplication::installTranslator(traducao)) {
    delete traducao;
    return false;
  }
  return true;
}

}  // namespace telvarim
