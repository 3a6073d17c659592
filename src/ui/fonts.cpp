#include "ui/fonts.h"

#include <QFont>
#include <QStringList>

void installFontSubstitutes() {
  // Liberation Sans has Arial's metrics; DejaVu Sans Condensed is the narrow
  // face every Debian desktop has.
  const QStringList standIns = {QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans Condensed")};
  for (const char* family : {"MS Sans Serif", "Arial"})
    QFont::insertSubstitutions(QString::fromLatin1(family), standIns);
  // Arial Black is a black weight of a wide face: Lato's black weight stands
  // in (fonts-lato), else the bold of a wide face.
  QFont::insertSubstitutions(QStringLiteral("Arial Black"),
                             {QStringLiteral("Lato Black"), QStringLiteral("Lato"),
                              QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
}
