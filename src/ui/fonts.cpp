#include "ui/fonts.h"

#include <QFont>
#include <QStringList>

void installFontSubstitutes() {
  // Liberation Sans has Arial's metrics; DejaVu Sans Condensed is the narrow
  // face every Debian desktop has.
  const QStringList standIns = {QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans Condensed")};
  for (const char* family : {"MS Sans Serif", "Arial", "Arial Black"})
    QFont::insertSubstitutions(QString::fromLatin1(family), standIns);
}
