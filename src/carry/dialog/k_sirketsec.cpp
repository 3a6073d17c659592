#include "carry/dialog/k_sirketsec.h"

#include <QHeaderView>
#include <QPainter>
#include <QScreen>

namespace {

namespace layout = selection_layout;

// A text of the selection as a label shows it: line breaks as "\n".
QString text(const std::string& s) {
  return QString::fromStdString(s).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QRect geometryOf(const SelectionRect& r) {
  return QRect(r.x, r.y, r.width, r.height);
}

QPushButton* dialogButton(const char* caption, const SelectionRect& at, QWidget* parent) {
  auto* b = new QPushButton(text(caption), parent);
  QFont f = b->font();
  f.setBold(true);
  b->setFont(f);
  b->setCursor(Qt::PointingHandCursor);
  b->setGeometry(geometryOf(at));
  return b;
}

QLabel* boldLabel(const char* caption, const SelectionRect& at, QWidget* parent) {
  auto* label = new QLabel(text(caption), parent);
  QFont bold = parent->font();
  bold.setBold(true);
  label->setFont(bold);
  label->move(at.x, at.y);
  label->adjustSize();
  return label;
}

Qt::Alignment alignment(CompanySelection::Align align) {
  switch (align) {
    case CompanySelection::Align::kCenter:
      return Qt::AlignCenter;
    case CompanySelection::Align::kRight:
      return Qt::AlignRight | Qt::AlignVCenter;
    case CompanySelection::Align::kLeft:
      break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
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

CompanyListModel::CompanyListModel(CompanySelection& selection, QObject* parent)
    : QAbstractTableModel(parent), m_selection(selection) {}

int CompanyListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_selection.rowCount();
}

int CompanyListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : CompanySelection::kColumnCount;
}

QVariant CompanyListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
    return QVariant();
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(m_selection.cellText(index.row(), index.column()));
    case Qt::TextAlignmentRole:
      return QVariant(alignment(CompanySelection::column(index.column()).align));
    default:
      return QVariant();
  }
}

QVariant CompanyListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Vertical) return QString();
  if (section < 0 || section >= columnCount()) return QVariant();
  return QString::fromUtf8(CompanySelection::column(section).title);
}

Qt::ItemFlags CompanyListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void CompanyListModel::cellClick(const QModelIndex& index) {
  if (!index.isValid() || !m_selection.DBGrid1CellClick(index.row(), index.column())) return;
  // The whole row: ticking a row may give it its new code.
  emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(columnCount() - 1),
                   {Qt::DisplayRole});
}

TK_SirketSec::TK_SirketSec(CompanyList& companies, RunHost& host, QWidget* parent)
    : QDialog(parent),
      m_selection(companies, host),
      m_model(new CompanyListModel(m_selection, this)) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(layout::kClientWidth, layout::kClientHeight);
  setModal(true);
  // The main window's face.
  QFont face(QStringLiteral("MS Sans Serif"));
  face.setStyleHint(QFont::SansSerif);
  face.setPixelSize(11);
  setFont(face);

  Label1 = boldLabel(CompanySelection::kLabel1Text, layout::kLabel1, this);

  DBGrid1 = new QTableView(this);
  DBGrid1->setGeometry(geometryOf(layout::kGrid));
  DBGrid1->setModel(m_model);
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  DBGrid1->setTabKeyNavigation(true);
  DBGrid1->setShowGrid(true);
  DBGrid1->setVerticalHeader(new IndicatorHeader(DBGrid1));
  DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  DBGrid1->verticalHeader()->setDefaultSectionSize(layout::kRowHeight);
  DBGrid1->verticalHeader()->setFixedWidth(layout::kIndicatorWidth);
  DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  DBGrid1->horizontalHeader()->setHighlightSections(false);
  for (int c = 0; c < CompanySelection::kColumnCount; ++c)
    DBGrid1->setColumnWidth(c, defaultColumnWidth(c));
  // The grid starts on the list's current row, marked in the indicator.
  if (const int current = m_selection.currentRow(); current >= 0)
    DBGrid1->setCurrentIndex(m_model->index(current, CompanySelection::kDevir));
  connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { DBGrid1->verticalHeader()->viewport()->update(); });

  Label2 = boldLabel(CompanySelection::kLabel2Text, layout::kLabel2, this);

  Label3 = new QLabel(text(m_selection.notes()), this);
  Label3->setGeometry(geometryOf(layout::kNotes));
  Label3->setWordWrap(true);
  Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label3->setVisible(m_selection.notesVisible());
  Button2 = dialogButton(CompanySelection::kButton2Caption, layout::kButton2, this);
  Button1 = dialogButton(CompanySelection::kButton1Caption, layout::kButton1, this);
  Button1->setDefault(false);
  Button1->setAutoDefault(false);
  Button2->setAutoDefault(false);

  connect(DBGrid1, &QTableView::clicked, this,
          [this](const QModelIndex& i) { DBGrid1CellClick(i); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

// The grid's model reads the selection: it goes before the selection does.
TK_SirketSec::~TK_SirketSec() {
  delete m_model;
}

int TK_SirketSec::defaultColumnWidth(int column) const {
  const QFontMetrics metrics(DBGrid1->font());
  return m_selection.columnWidth(column, metrics.horizontalAdvance(QLatin1Char('0')),
                                 DBGrid1->horizontalHeader()->sectionSizeHint(column));
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
  if (const QWidget* owner = parentWidget()) {
    m_selection.FormShow(owner->window()->windowTitle().toStdString());
    setWindowTitle(QString::fromStdString(m_selection.caption()));
  }
}

void TK_SirketSec::DBGrid1CellClick(const QModelIndex& index) {
  m_model->cellClick(index);
}

void TK_SirketSec::Button1Click() {
  if (m_selection.Button1Click()) accept();
}

void TK_SirketSec::Button2Click() {
  m_selection.Button2Click();
  reject();
}
