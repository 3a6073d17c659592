#include "main/window/reportwindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QVBoxLayout>
#include <exception>

#include "jobs/runhost.h"
#include "main/driver/runreport.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "report/reportfiles.h"
#include "report/reportformat.h"

namespace {

QString text(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const QColor kDiffers(255, 214, 214);
const QColor kItems(255, 240, 240);

QTableWidgetItem* cell(const QString& value, bool number) {
  auto* item = new QTableWidgetItem(value);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

}  // namespace

TReportWindow::TReportWindow(const report::RunReport& r, const QString& savedFile, QWidget* parent)
    : QDialog(parent), m_savedFile(savedFile) {
  setWindowTitle(QStringLiteral("Devir Mutabakat Raporu"));
  auto* layout = new QVBoxLayout(this);
  const std::size_t differing = r.differingLines();
  auto* summary = new QLabel(
      text(r.date) + QStringLiteral(" · ") +
          (r.options.ytl ? QStringLiteral("YTL dönüşümü ile")
                         : QStringLiteral("YTL dönüşümü yok")) +
          QStringLiteral("<br><b>") +
          (differing == 0
               ? QStringLiteral("Tüm satırlar uyuyor.")
               : QStringLiteral("<span style='color:#a00000'>%1 satırda fark var: devir sonucu "
                                "eski şirketle uyuşmuyor.</span>")
                     .arg(differing)) +
          QStringLiteral("</b>"),
      this);
  summary->setTextFormat(Qt::RichText);
  layout->addWidget(summary);

  Companies = new QTabWidget(this);
  for (const report::CompanyReport& c : r.companies) {
    QString title = text(c.oldCode) + QStringLiteral(" → ") + text(c.newCode);
    if (!c.agrees()) title += QStringLiteral(" (fark var)");
    Companies->addTab(companyPage(c), title);
  }
  layout->addWidget(Companies, 1);

  auto* buttons = new QHBoxLayout;
  auto* where = new QLabel(savedFile.isEmpty() ? QStringLiteral("Rapor kaydedilemedi.")
                                               : QStringLiteral("Kaydedilen rapor: ") + savedFile,
                           this);
  where->setTextInteractionFlags(Qt::TextSelectableByMouse);
  where->setWordWrap(true);
  buttons->addWidget(where, 1);
  ButtonOpen = new QPushButton(QStringLiteral("Kaydedilen raporu aç"), this);
  ButtonOpen->setEnabled(!savedFile.isEmpty());
  ButtonClose = new QPushButton(QStringLiteral("Kapat"), this);
  buttons->addWidget(ButtonOpen);
  buttons->addWidget(ButtonClose);
  layout->addLayout(buttons);
  connect(ButtonClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(ButtonOpen, &QPushButton::clicked, this, [this] {
    if (auto path = platform::resolvePath(m_savedFile.toStdString()))
      platform::openInShell(path->string());
  });

  QSize size(1000, 640);
  if (QScreen* s = QGuiApplication::primaryScreen())
    size = size.boundedTo(s->availableGeometry().size() * 0.9);
  resize(size);
}

QWidget* TReportWindow::companyPage(const report::CompanyReport& c) {
  auto* page = new QWidget(Companies);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(
      QStringLiteral("<b>") + text(c.shortName).toHtmlEscaped() + QStringLiteral("</b>"), page));
  auto* t = new QTableWidget(0, 7, page);
  t->setHorizontalHeaderLabels({QStringLiteral("Bölüm"), QStringLiteral("Satır"),
                                QStringLiteral("Eski"), QStringLiteral("Beklenen"),
                                QStringLiteral("Yeni"), QStringLiteral("Fark"),
                                QStringLiteral("Durum")});
  t->verticalHeader()->setVisible(false);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  for (const report::ReportLine* l : report::LinesDifferencesFirst(c)) {
    const report::LineTexts v = report::ColumnTexts(*l);
    const int row = t->rowCount();
    t->insertRow(row);
    const QString values[] = {text(l->section),          text(l->label), text(v.old),
                              text(v.expected),          text(v.found),  text(v.difference),
                              text(report::MarkText(*l))};
    for (int col = 0; col < 7; ++col) {
      QTableWidgetItem* item = cell(values[col], col >= 2 && col <= 5);
      if (!l->agrees) {
        item->setBackground(kDiffers);
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
      } else if (l->kind == report::LineKind::kInfo) {
        item->setForeground(QColor(80, 80, 80));
      }
      t->setItem(row, col, item);
    }
    if (l->items.empty()) continue;
    QString items = QStringLiteral("Farklı kayıtlar");
    if (l->differingItems > l->items.size())
      items += QStringLiteral(" (ilk %1, toplam %2)").arg(l->items.size()).arg(l->differingItems);
    items += QStringLiteral(":");
    for (const report::ItemDifference& i : l->items)
      items += QStringLiteral("\n") + text(i.code) + QStringLiteral(": beklenen ") +
               text(i.expected) + QStringLiteral(", bulunan ") + text(i.found);
    const int itemsRow = t->rowCount();
    t->insertRow(itemsRow);
    t->setItem(itemsRow, 0, cell(QString(), false));
    t->item(itemsRow, 0)->setBackground(kItems);
    t->setItem(itemsRow, 1, cell(items, false));
    t->item(itemsRow, 1)->setBackground(kItems);
    t->setSpan(itemsRow, 1, 1, 6);
  }
  t->resizeColumnsToContents();
  t->resizeRowsToContents();
  t->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  layout->addWidget(t, 1);
  return page;
}

QTableWidget* TReportWindow::table(int index) const {
  QWidget* page = Companies->widget(index);
  return page ? page->findChild<QTableWidget*>() : nullptr;
}

void OfferCarryReport(QWidget* parent, const RunHost& host, const Workspace& ws,
                      const std::function<bool(const QString&)>& ask) {
  const std::vector<report::CarriedCompany> companies = CarriedCompanies(ws);
  if (companies.empty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const report::RunReport r = report::ReconcileRun(ReportOptions(host), companies);
  QString saved, failure;
  try {
    saved = text(report::SaveReport(r, report::ReportDirectory(host.newDataDirectory())).htmlFile);
  } catch (const std::exception& e) {
    failure = QStringLiteral("\r\nRapor kaydedilemedi: ") + text(e.what());
  }
  QApplication::restoreOverrideCursor();
  const std::size_t differing = r.differingLines();
  const QString question =
      (differing == 0
           ? QStringLiteral("Devir mutabakat raporu hazırlandı: tüm satırlar uyuyor.")
           : QStringLiteral("Devir mutabakat raporunda %1 satırda fark bulundu.").arg(differing)) +
      failure + QStringLiteral("\r\nRaporu göstermek ister misiniz?");
  if (!ask(question)) return;
  TReportWindow window(r, saved, parent);
  window.setWindowModality(Qt::ApplicationModal);
  window.exec();
}

bool AskShowReport(QWidget* parent, const QString& question) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Bilgi"),
                  QString(question).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                  QMessageBox::NoButton, parent);
  QAbstractButton* show = box.addButton(QStringLiteral("Raporu göster"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("Kapat"), QMessageBox::NoRole);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  return box.clickedButton() == show;
}
