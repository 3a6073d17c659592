#include "ui/zfabout.h"

#include <memory>

#include "ui/aboutservices.h"
#include "ui/aboutu.h"
#include "ui/pictures.h"

TZfAbout::TZfAbout(QObject* parent) : QObject(parent) {}

TAboutF* TZfAbout::createWindow(QWidget* parent) const {
  auto* window = new TAboutF(m_services ? *m_services : systemAboutServices(), parent);
  window->setLeftPicture(m_picture);
  window->setTopPicture(m_topPicture);
  window->setProgramName(m_programName);  // title label and the credits' first line
  window->setWindowTitle(m_caption);
  window->setStatusText(QStringLiteral("ZEFIRTAK ") + m_programName);
  window->setTeam(m_team);
  return window;
}

void TZfAbout::execute(QWidget* parent) {
  std::unique_ptr<TAboutF> window(createWindow(parent));
  window->exec();
}

TZfAbout* makeProgramAbout(QObject* parent) {
  auto* about = new TZfAbout(parent);
  about->setPicture(QPixmap::fromImage(pictures::aboutPicture()));
  about->setTeam({
      QStringLiteral("Proje Yönetimi"),
      QStringLiteral("Selin Aydınoğlu"),
      QString(),
      QStringLiteral("Yazılım Geliştirme"),
      QStringLiteral("Kerem Yıldız"),
      QStringLiteral("Derya Kocabaş"),
      QString(),
      QStringLiteral("Veri Dönüşümü"),
      QStringLiteral("Tolga Erdem"),
      QString(),
      QStringLiteral("Test ve Kalite"),
      QStringLiteral("Nazlı Güneş"),
      QString(),
      QStringLiteral("Destek"),
      QStringLiteral("Emre Çelik"),
  });
  return about;
}
