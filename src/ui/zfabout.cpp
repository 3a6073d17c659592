#include "ui/zfabout.h"

#include <memory>

#include "ui/aboutservices.h"
#include "ui/aboutu.h"
#include "ui/modeltypes.h"
#include "ui/pictures.h"

TZfAbout::TZfAbout(QObject* parent) : QObject(parent) {}

TAboutF* TZfAbout::createWindow(QWidget* parent) const {
  auto* window = new TAboutF(m_services ? *m_services : systemAboutServices(), parent);
  window->setLeftPicture(m_picture);
  window->setTopPicture(m_topPicture);
  window->setProgramName(m_programName);  // title label and the credits' first line
  window->setWindowTitle(m_caption);
  window->setStatusText(toQString(uimodel::AboutStatusText(m_programName.toStdString())));
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
  about->setTeam(toQStringList(uimodel::ProgramTeam()));
  return about;
}
