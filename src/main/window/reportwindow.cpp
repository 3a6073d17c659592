#include "main/window/reportwindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "main/window/widgets.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "report/presentation.h"
#include "ui/messagebox.h"

namespace {

QString text(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// How each kind of row looks.
const QColor kDiffers(255, 214, 214);
const QColor kItems(255, 240, 240);
const QColor kInfo(80, 80, 80);

QTableWidgetItem* cell(const QString& value, bool number) {
  auto* item = new QTableWidgetItem(value);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

// A line's cell in the look of its kind.
QTableWidgetItem* lineCell(const report::PresentedRow& row, int column) {
  QTableWidgetItem* item = cell(text(row.cells[column]), row.isNumber(column));
  if (row.kind == report::RowKind::kDiffers) {
    item->setBackground(kDiffers);
    QFont bold = item->font();
    bold.setBold(true);
    item->setFont(bold);
  } else if (row.kind == report::RowKind::kInfo) {
    item->setForeground(kInfo);
  }
  // The fields behind the line, for support, over its name.
  if (column == 1 && !row.detail.empty()) item->setToolTip(text(row.detail));
  return item;
}

// A row's room above and below its text's line: the focus rectangle's line
// and a gap.
constexpr int kRowPadding = 3;

// The least height of a row in `font`: its line, with the dots of "İ" and
// "Ö" (which some fonts draw above the line's ascent) and the padding above
// and below.
int rowHeightFor(const QFont& font) {
  const QFontMetrics metrics(font);
  int top = -metrics.ascent();
  for (QChar capital : QStringLiteral("İÖ"))
    top = std::min(top, metrics.boundingRect(capital).top());
  const int overshoot = -metrics.ascent() - top;
  return metrics.height() + 2 * (overshoot + kRowPadding);
}

}  // namespace

TReportWindow::TReportWindow(const report::RunReport& r, const QString& savedFile, QWidget* parent)
    : QDialog(parent), m_savedFile(savedFile) {
  build(report::PresentReport(r, savedFile.toStdString()));
}

TReportWindow::TReportWindow(form1::AfterCarryHome& home, QWidget* parent)
    : QDialog(parent), m_savedFile(text(home.presentation().savedFile)), m_home(&home) {
  build(home.presentation());
}

namespace {

// The action's boxes over the report window.
class WindowPort final : public form1::HomePort {
 public:
  explicit WindowPort(QWidget* window) : m_window(window) {}
  form1::Answer ask(const form1::Question& q) override { return AskQuestion(m_window, q); }
  void showMessage(const form1::Message& m) override { ShowMessageBox(m_window, m); }
  void setBusyCursor(bool busy) override {
    if (busy)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      QApplication::restoreOverrideCursor();
  }

 private:
  QWidget* m_window;
};

}  // namespace

void TReportWindow::build(const report::ReportPresentation& p) {
  setWindowTitle(text(p.title));
  auto* layout = new QVBoxLayout(this);
  QString verdict = text(p.verdict).toHtmlEscaped();
  if (p.differs)
    verdict = QStringLiteral("<span style='color:#a00000'>") + verdict + QStringLiteral("</span>");
  auto* summary = new QLabel(
      text(p.facts).toHtmlEscaped() + QStringLiteral("<br><b>") + verdict + QStringLiteral("</b>"),
      this);
  summary->setTextFormat(Qt::RichText);
  layout->addWidget(summary);

  Companies = new QTabWidget(this);
  for (const report::CompanyPage& page : p.pages)
    Companies->addTab(companyPage(page), text(page.tabTitle));
  layout->addWidget(Companies, 1);

  auto* buttons = new QHBoxLayout;
  auto* where = new QLabel(text(p.savedFileLine), this);
  where->setTextInteractionFlags(Qt::TextSelectableByMouse);
  where->setWordWrap(true);
  buttons->addWidget(where, 1);
  if (m_home)
    for (std::size_t i = 0; i < m_home->actions().size(); ++i) {
      auto* action = new QPushButton(text(m_home->actions()[i].caption), this);
      Actions.push_back(action);
      buttons->addWidget(action);
      connect(action, &QPushButton::clicked, this, [this, i] {
        WindowPort port(this);
        if (m_home->press(i, port)) accept();
      });
    }
  ButtonOpen = new QPushButton(text(report::kOpenCaption), this);
  ButtonOpen->setEnabled(p.canOpen);
  ButtonClose = new QPushButton(text(report::kCloseCaption), this);
  buttons->addWidget(ButtonOpen);
  buttons->addWidget(ButtonClose);
  layout->addLayout(buttons);
  connect(ButtonClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(ButtonOpen, &QPushButton::clicked, this, [this] {
    const std::string saved = m_savedFile.toStdString();
    const auto path = platform::resolvePath(saved);
    if (path && platform::openInShell(path->string())) return;
    makeMessageBox(QMessageBox::Warning, text(report::kOpenFailureCaption),
                   text(report::OpenFailureText(saved)), this)
        ->exec();
  });

  QSize screen;
  if (QScreen* s = QGuiApplication::primaryScreen()) screen = s->availableGeometry().size();
  const report::WindowSize size = report::ReportWindowSize(screen.width(), screen.height());
  resize(size.width, size.height);
}

QWidget* TReportWindow::companyPage(const report::CompanyPage& page) {
  auto* widget = new QWidget(Companies);
  auto* layout = new QVBoxLayout(widget);
  layout->addWidget(new QLabel(
      QStringLiteral("<b>") + text(page.heading).toHtmlEscaped() + QStringLiteral("</b>"), widget));
  auto* t = new QTableWidget(0, report::kColumnCount, widget);
  QStringList titles;
  for (const char* title : report::kColumnTitles) titles << QString::fromUtf8(title);
  t->setHorizontalHeaderLabels(titles);
  t->verticalHeader()->setVisible(false);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  for (const report::PresentedRow& row : page.rows) {
    const int at = t->rowCount();
    t->insertRow(at);
    if (row.kind != report::RowKind::kItems) {
      for (int column = 0; column < report::kColumnCount; ++column)
        t->setItem(at, column, lineCell(row, column));
      continue;
    }
    // The records' text spans from the line column to the end.
    for (int column = 0; column < 2; ++column) {
      t->setItem(at, column, cell(text(row.cells[column]), false));
      t->item(at, column)->setBackground(kItems);
    }
    t->setSpan(at, 1, 1, report::kColumnCount - 1);
  }
  t->verticalHeader()->setMinimumSectionSize(rowHeightFor(t->font()));
  t->resizeColumnsToContents();
  t->resizeRowsToContents();
  t->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  layout->addWidget(t, 1);
  return widget;
}

QTableWidget* TReportWindow::table(int index) const {
  QWidget* page = Companies->widget(index);
  return page ? page->findChild<QTableWidget*>() : nullptr;
}
