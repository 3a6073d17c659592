#include "main/window/widgets.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QRadioButton>

#include "platform/paths.h"

TLabel3D::TLabel3D(const QString& text, int shadowOffset, QWidget* parent)
    : QWidget(parent), m_text(text), m_offset(shadowOffset) {}

void TLabel3D::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(font());
  QRect area = rect().adjusted(0, 0, -m_offset, -m_offset);
  p.save();
  p.setPen(QColor(128, 128, 128));
  p.drawText(area.translated(m_offset, m_offset), Qt::AlignLeft | Qt::AlignTop, m_text);
  p.restore();
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(area, Qt::AlignLeft | Qt::AlignTop, m_text);
}

TGauge::TGauge(QWidget* parent) : QProgressBar(parent) {
  setRange(0, 1);
  setValue(0);
  setTextVisible(true);
  setAlignment(Qt::AlignCenter);
  setStyleSheet(
      QStringLiteral("QProgressBar { border: 1px solid gray; background: white; color: black; }"
                     "QProgressBar::chunk { background: navy; }"));
}

// A progress bar whose range is empty shows a busy animation; a gauge with
// no items shows 0% instead, so the bar's range never drops below 1.
void TGauge::setMaxValue(int maximum) {
  int position = value();  // a range change below it resets the bar
  m_max = maximum < 0 ? 0 : maximum;
  setMaximum(m_max > 0 ? m_max : 1);
  setProgress(position);
}

int TGauge::percent() const {
  return m_max > 0 ? static_cast<int>(static_cast<long long>(value()) * 100 / m_max) : 0;
}

QString TGauge::text() const {
  return QString::number(percent()) + QLatin1Char('%');
}

void TGauge::setProgress(int position) {
  setValue(position > m_max ? m_max : (position < 0 ? 0 : position));
  int shown = percent();
  if (shown != m_shownPercent) {
    m_shownPercent = shown;
    if (isVisible()) repaint();
  }
}

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), m_items(items) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 2, 4, 2);
  grid->setSpacing(0);
  int perColumn = static_cast<int>((items.size() + columns - 1) / columns);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    m_buttons.addButton(button, i);
    grid->addWidget(button, i % perColumn, i / perColumn);
  }
}

int TRadioGroup::itemIndex() const {
  return m_buttons.checkedId();
}

void TRadioGroup::setItemIndex(int index) {
  if (QAbstractButton* b = m_buttons.button(index)) b->setChecked(true);
}

TDirectoryEdit::TDirectoryEdit(const QString& prompt, QWidget* parent)
    : QWidget(parent),
      m_prompt(prompt),
      m_edit(new QLineEdit(this)),
      m_browse(new QToolButton(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(m_edit);
  row->addWidget(m_browse);
  m_browse->setText(QStringLiteral("..."));
  m_browse->setFocusPolicy(Qt::NoFocus);
  connect(m_browse, &QToolButton::clicked, this, [this] { browse(); });
}

QString TDirectoryEdit::browseStart() const {
  std::string typed = m_edit->text().toStdString();
  if (!m_edit->text().trimmed().isEmpty() && platform::directoryExists(typed)) {
    if (auto real = platform::resolvePath(typed)) return QString::fromStdString(real->string());
  }
  return QStringLiteral("/");
}

void TDirectoryEdit::browse() {
  QString chosen = QFileDialog::getExistingDirectory(this, m_prompt, browseStart());
  if (!chosen.isEmpty()) m_edit->setText(QDir::toNativeSeparators(chosen));
}
