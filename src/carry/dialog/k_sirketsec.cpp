#include "carry/dialog/k_sirketsec.h"

#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cstdio>

#include "data/companylist.h"
#include "jobs/runhost.h"

namespace {

const char* const kFieldNames[] = {"DEVIR", "SIRKET_KOD", "KISA_AD", "NUMBER1", "YENI_SIRKET_KOD"};

QPushButton* dialogButton(const QString& caption, int x, int y, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  QFont f = b->font();
  f.setBold(true);
  b->setFont(f);
  b->setCursor(Qt::PointingHandCursor);
  b->setGeometry(x, y, 75, 25);
  return b;
}

// The grid's row indicator: a black triangle in the section of the current
// row, as a Windows data grid marks it.
class IndicatorHeader : public QHeaderView {
 public:
  explicit IndicatorHeader(QTableView* view) : QHeaderView(Qt::Vertical, view), m_view(view) {}

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    QHeaderView::paintSection(painter, rect, logicalIndex);
    const QItemSelectionModel* selection = m_view->selectionModel();
    if (selection == nullptr || selection->currentIndex().row() != logicalIndex) return;
    painter->save();
    painter->setClipRect(rect);  // the section's painting leaves no usable clip behind
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::black);
    const QPointF c = QRectF(rect).center();
    const QPointF triangle[] = {c + QPointF(-2, -4), c + QPointF(2.5, 0), c + QPointF(-2, 4)};
    painter->drawPolygon(triangle, 3);
    painter->restore();
  }

 private:
  QTableView* m_view;
};

}  // namespace

CompanyListModel::CompanyListModel(CompanyList& companies, QObject* parent)
    : QAbstractTableModel(parent), m_companies(companies) {
  for (int c = 0; c < kColumnCount; ++c) m_fields[c] = companies.findField(kFieldNames[c]);
}

int CompanyListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_companies.rowCount());
}

int CompanyListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString CompanyListModel::numberText(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return QString::fromLatin1(buffer);
}

QString CompanyListModel::textAt(int row, int field) const {
  const Variant& v = m_companies.valueAt(static_cast<std::size_t>(row), field);
  if (const auto* s = std::get_if<std::string>(&v.value)) return QString::fromStdString(*s);
  if (const auto* d = std::get_if<double>(&v.value)) return numberText(*d);
  if (const auto* i = std::get_if<std::int64_t>(&v.value)) return QString::number(*i);
  if (const auto* b = std::get_if<bool>(&v.value)) return *b ? QStringLiteral("X") : QString();
  return QString();
}

QVariant CompanyListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount)
    return QVariant();
  switch (role) {
    case Qt::DisplayRole:
      return textAt(index.row(), m_fields[index.column()]);
    case Qt::TextAlignmentRole:
      if (index.column() == kNumber1) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      if (index.column() == kDevir) return QVariant(Qt::AlignCenter);
      return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return QVariant();
  }
}

QVariant CompanyListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Vertical) return QString();
  switch (section) {
    case kDevir:
      return QStringLiteral("Devret");
    case kSirketKod:
      return QStringLiteral("Şirket Kodu");
    case kKisaAd:
      return QStringLiteral("Kısa Adı");
    case kNumber1:
      return QStringLiteral("Çalışma Yılı");
    case kYeniSirketKod:
      return QStringLiteral("Yeni şirket kodu");
    default:
      return QVariant();
  }
}

Qt::ItemFlags CompanyListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int CompanyListModel::displayWidth(int column) const {
  if (column < 0 || column >= kColumnCount || m_fields[column] < 0) return 0;
  const CompanyList::Field& field =
      m_companies.fields()[static_cast<std::size_t>(m_fields[column])];
  switch (field.type) {
    case pdx::FieldType::kAlpha:
      return field.size;
    case pdx::FieldType::kLogical:
      return 5;  // "False"
    default:
      return 10;  // numbers and dates
  }
}

void CompanyListModel::toggleSelected(int row) {
  if (row < 0 || row >= rowCount()) return;
  m_companies.moveTo(static_cast<std::size_t>(row));
  m_companies.setValue("DEVIR", Variant{!m_companies.selected()});
  QModelIndex cell = index(row, kDevir);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

TK_SirketSec::TK_SirketSec(CompanyList& companies, RunHost& host, QWidget* parent)
    : QDialog(parent),
      m_companies(companies),
      m_host(host),
      m_model(new CompanyListModel(companies, this)) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(535, 333);
  setModal(true);
  // The main window's face.
  QFont face(QStringLiteral("MS Sans Serif"));
  face.setStyleHint(QFont::SansSerif);
  face.setPixelSize(11);
  setFont(face);
  QFont bold = font();
  bold.setBold(true);

  Label1 =
      new QLabel(QStringLiteral("Devir işleminin yapılcağı şirket veya şirketleri seçiniz."), this);
  Label1->setFont(bold);
  Label1->move(16, 16);
  Label1->adjustSize();

  DBGrid1 = new QTableView(this);
  DBGrid1->setGeometry(5, 32, 524, 209);
  DBGrid1->setModel(m_model);
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  DBGrid1->setTabKeyNavigation(true);
  DBGrid1->setShowGrid(true);
  DBGrid1->setVerticalHeader(new IndicatorHeader(DBGrid1));
  DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  DBGrid1->verticalHeader()->setDefaultSectionSize(18);
  DBGrid1->verticalHeader()->setFixedWidth(12);
  DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  DBGrid1->horizontalHeader()->setHighlightSections(false);
  DBGrid1->setColumnWidth(CompanyListModel::kDevir, 42);
  DBGrid1->setColumnWidth(CompanyListModel::kSirketKod, 87);
  DBGrid1->setColumnWidth(CompanyListModel::kKisaAd, defaultColumnWidth(CompanyListModel::kKisaAd));
  DBGrid1->setColumnWidth(CompanyListModel::kNumber1,
                          defaultColumnWidth(CompanyListModel::kNumber1));
  DBGrid1->setColumnWidth(CompanyListModel::kYeniSirketKod, 106);
  // The grid starts on the list's current row, marked in the indicator.
  if (m_model->rowCount() > 0) {
    const int current =
        static_cast<int>(std::min<std::size_t>(companies.currentRow(), companies.rowCount() - 1));
    DBGrid1->setCurrentIndex(m_model->index(current, CompanyListModel::kDevir));
  }
  connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { DBGrid1->verticalHeader()->viewport()->update(); });

  Label2 = new QLabel(QStringLiteral("Devir işlemi yapılacak şirketleri seçmek veya kaldırmak için "
                                     "Devret sütununa \ntıklayınız"),
                      this);
  Label2->setFont(bold);
  Label2->move(8, 256);
  Label2->adjustSize();

  QStringList notes;
  for (std::size_t row = 0; row < companies.rowCount(); ++row)
    if (!companies.noteAt(row).empty()) notes << QString::fromStdString(companies.noteAt(row));
  Label3 = new QLabel(notes.join(QStringLiteral("\n")), this);
  Label3->setGeometry(8, 286, 344, 44);
  Label3->setWordWrap(true);
  Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label3->setVisible(!notes.isEmpty());
  Button2 = dialogButton(QStringLiteral("Vazgeç"), 360, 296, this);
  Button1 = dialogButton(QStringLiteral("Tamam"), 448, 296, this);
  Button1->setDefault(false);
  Button1->setAutoDefault(false);
  Button2->setAutoDefault(false);

  connect(DBGrid1, &QTableView::clicked, this,
          [this](const QModelIndex& i) { DBGrid1CellClick(i); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

int TK_SirketSec::defaultColumnWidth(int column) const {
  const QFontMetrics metrics(DBGrid1->font());
  const int digits = m_model->displayWidth(column) * metrics.horizontalAdvance(QLatin1Char('0'));
  return std::max(digits + 4, DBGrid1->horizontalHeader()->sectionSizeHint(column));
}

void TK_SirketSec::showEvent(QShowEvent* event) {
  if (!m_centred) {
    m_centred = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  }
  FormShow();
  QDialog::showEvent(event);
}

void TK_SirketSec::FormShow() {
  if (QWidget* p = parentWidget()) setWindowTitle(p->window()->windowTitle());
}

void TK_SirketSec::DBGrid1CellClick(const QModelIndex& index) {
  if (!index.isValid()) return;
  if (index.column() == CompanyListModel::kDevir) m_model->toggleSelected(index.row());
}

void TK_SirketSec::Button1Click() {
  bool any = false;
  for (m_companies.first(); !m_companies.eof(); m_companies.next())
    any = any || m_companies.selected();
  if (!any) {
    InfoBox(m_host, "Devir işlemi için en az 1 şirket seçmelisiniz");
    return;
  }
  m_confirmed = true;
  accept();
}

void TK_SirketSec::Button2Click() {
  reject();
}
