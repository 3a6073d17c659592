#include "ui/turkish.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installTurkishTranslations() {
  // Owned by the application, so it lives as long as the texts are used.
  auto* translator = new QTranslator(QCoreApplication::instance());
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load(QStringLiteral("qtbase_tr"), dir)) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}
