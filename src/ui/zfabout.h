// TZfAbout: holds what the about box shows and shows it. The texts it adds
// (the status line, the program's team) are the model's (ui/model/about.h).
#pragma once

#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include "ui/model/about.h"

class AboutServices;
class QWidget;
class TAboutF;

class TZfAbout : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString About READ about WRITE setAbout)
  Q_PROPERTY(QString Caption READ caption WRITE setCaption)
  Q_PROPERTY(QPixmap TopPicture READ topPicture WRITE setTopPicture)
  Q_PROPERTY(QPixmap Picture READ picture WRITE setPicture)
  Q_PROPERTY(QString ProgramName READ programName WRITE setProgramName)
  Q_PROPERTY(QStringList Team READ team WRITE setTeam)

 public:
  explicit TZfAbout(QObject* parent = nullptr);

  QString about() const { return QString::fromLatin1(uimodel::kAboutComponentAbout); }
  void setAbout(const QString&) {}
  QString caption() const { return m_caption; }
  void setCaption(const QString& c) { m_caption = c; }
  // The pictures and the team list are held as copies.
  QPixmap topPicture() const { return m_topPicture; }
  void setTopPicture(const QPixmap& p) { m_topPicture = p.copy(); }
  QPixmap picture() const { return m_picture; }
  void setPicture(const QPixmap& p) { m_picture = p.copy(); }
  QString programName() const { return m_programName; }
  void setProgramName(const QString& n) { m_programName = n; }
  QStringList team() const { return m_team; }
  void setTeam(const QStringList& t) { m_team = t; }

  // The system services by default; a test hands in its own. Not owned.
  void setServices(AboutServices* services) { m_services = services; }

  // Builds the about window from the properties, shows it modally over
  // parent and destroys it when it closes.
  void execute(QWidget* parent = nullptr);
  // The same window, built but not shown; the caller owns it.
  TAboutF* createWindow(QWidget* parent = nullptr) const;

 private:
  QString m_caption;
  QPixmap m_topPicture;
  QPixmap m_picture;
  QString m_programName;
  QStringList m_team;
  AboutServices* m_services = nullptr;
};

// The program's about component: the left picture and the team list set,
// as the main window carries it.
TZfAbout* makeProgramAbout(QObject* parent);
