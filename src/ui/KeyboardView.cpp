// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KeyboardView.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "ui/Colours.h"
#include "ui/MacroListModel.h"
#include "ui/TextCodec.h"

namespace tavrilo::ui {

namespace {

using game::KeyCap;
using game::KeyStatus;

// The keyboard and the mouse span at least 92 by 32 quarters of a key; a quarter is
// 6.5 pixels wide at the size the view asks for.
constexpr int kColumns = 92, kRows = 32;
constexpr double kQuarterAsked = 6.5, kQuarterLeast = 5.0;
// The list of layouts sits right of the mouse, in quarters.
constexpr int kLayoutBoxX = 62, kLayoutBoxY = 28, kLayoutBoxWidth = 30;

// How a state is told without its colour: a mark in the key's corner, and a pattern over
// its face for the keys a binding of the player's cannot be counted on.
struct Look {
  std::optional<Colour> fill;  // none: the palette's base
  QString mark;
  Qt::BrushStyle pattern = Qt::NoBrush;
};

Look LookOf(KeyStatus status) {
  switch (status) {
    case KeyStatus::kList:
      return {Colour::kKeyOfList, QStringLiteral("+"), Qt::NoBrush};
    case KeyStatus::kPlayer:
      return {Colour::kKeyOfPlayer, QStringLiteral("\u2022"), Qt::NoBrush};
    case KeyStatus::kReplaces:
      return {Colour::kKeyReplaced, QStringLiteral("!"), Qt::BDiagPattern};
    case KeyStatus::kReserved:
      return {Colour::kKeyReserved, QStringLiteral("\u00D7"), Qt::Dense6Pattern};
    case KeyStatus::kFree:
    case KeyStatus::kNeverReceived:
      break;
  }
  return {};
}

std::string StatusKey(KeyStatus status) {
  switch (status) {
    case KeyStatus::kPlayer:
      return "Keyboard.Player";
    case KeyStatus::kList:
      return "Keyboard.List";
    case KeyStatus::kReplaces:
      return "Keyboard.Replaces";
    case KeyStatus::kReserved:
      return "Keyboard.Reserved";
    case KeyStatus::kNeverReceived:
      return "Keyboard.NeverReceived";
    case KeyStatus::kFree:
      break;
  }
  return "Keyboard.Free";
}

}  // namespace

KeyboardView::KeyboardView(const WindowTexts& texts, game::Layout layout, QWidget* parent)
    : QWidget(parent), texts_(texts) {
  setObjectName(QStringLiteral("KeyboardView"));
  setFocusPolicy(Qt::StrongFocus);
  layoutBox_ = new QComboBox(this);
  layoutBox_->setObjectName(QStringLiteral("KeyboardLayoutBox"));
  layoutBox_->addItem(QString());
  layoutBox_->addItem(QString());
  layoutBox_->setCurrentIndex(layout == game::Layout::kQwerty ? 1 : 0);
  connect(layoutBox_, &QComboBox::currentIndexChanged, this, [this] {
    Refresh();
    emit LayoutChosen(ChosenLayout());
  });
  ShowCaptions();
}

void KeyboardView::SetKeySource(KeySource source) {
  source_ = std::move(source);
  Refresh();
}

void KeyboardView::Refresh() {
  // The key that has the attention stays the same key in the new keys.
  const int code = current_ >= 0 ? keys_[static_cast<std::size_t>(current_)].code : -1;
  keys_ = source_ ? source_(ChosenLayout()) : std::vector<KeyCap>();
  current_ = -1;
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i].code == code) current_ = static_cast<int>(i);
  }
  if (current_ < 0 && hasFocus() && !keys_.empty()) current_ = 0;
  updateGeometry();
  PlaceLayoutBox();
  update();
}

game::Layout KeyboardView::ChosenLayout() const {
  return layoutBox_->currentIndex() == 1 ? game::Layout::kQwerty : game::Layout::kAzerty;
}

void KeyboardView::SetLayout(game::Layout layout) {
  layoutBox_->setCurrentIndex(layout == game::Layout::kQwerty ? 1 : 0);
}

void KeyboardView::ShowCaptions() {
  layoutBox_->setItemText(0, texts_(Text{"Keyboard.Azerty", {}}));
  layoutBox_->setItemText(1, texts_(Text{"Keyboard.Qwerty", {}}));
  layoutBox_->setToolTip(texts_(Text{"Keyboard.Layout", {}}));
  layoutBox_->setAccessibleName(texts_(Text{"Keyboard.Layout", {}}));
  setAccessibleName(texts_(Text{"Keyboard.Title", {}}));
}

QSize KeyboardView::Extent() const {
  int columns = kColumns, rows = kRows;
  for (const KeyCap& key : keys_) {
    columns = std::max(columns, key.x + key.width);
    rows = std::max(rows, key.y + key.height);
  }
  return {columns, rows};
}

QSize KeyboardView::sizeHint() const {
  const QSize extent = Extent();
  return {static_cast<int>(std::ceil(extent.width() * kQuarterAsked)) + 2,
          static_cast<int>(std::ceil(extent.height() * kQuarterAsked)) + 2};
}

QSize KeyboardView::minimumSizeHint() const {
  const QSize extent = Extent();
  return {static_cast<int>(std::ceil(extent.width() * kQuarterLeast)) + 2,
          static_cast<int>(std::ceil(extent.height() * kQuarterLeast)) + 2};
}

double KeyboardView::Quarter() const {
  const QSize extent = Extent();
  return std::max(kQuarterLeast / 2, std::min((width() - 2) / double(extent.width()),
                                              (height() - 2) / double(extent.height())));
}

QRectF KeyboardView::KeyArea(const KeyCap& key) const {
  const double q = Quarter();
  return {1 + key.x * q + 1, 1 + key.y * q + 1, key.width * q - 2, key.height * q - 2};
}

QRect KeyboardView::KeyRect(std::size_t index) const {
  return KeyArea(keys_.at(index)).toAlignedRect();
}

int KeyboardView::KeyAt(const QPoint& point) const {
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (KeyArea(keys_[i]).contains(point)) return static_cast<int>(i);
  }
  return -1;
}

void KeyboardView::PlaceLayoutBox() {
  const double q = Quarter();
  const int height = std::min(layoutBox_->sizeHint().height(), static_cast<int>(4 * q));
  layoutBox_->setGeometry(static_cast<int>(1 + kLayoutBoxX * q + 1),
                          static_cast<int>(1 + kLayoutBoxY * q + 1),
                          static_cast<int>(kLayoutBoxWidth * q - 2), std::max(height, 16));
}

void KeyboardView::resizeEvent(QResizeEvent* event) {
  PlaceLayoutBox();
  QWidget::resizeEvent(event);
}

QString KeyboardView::ToolTipOf(std::size_t index) const {
  const KeyCap& key = keys_.at(index);
  QStringList lines;
  if (!key.name.empty()) lines << texts_(Text{"Keyboard.Name", {key.name}});
  lines << texts_(Text{StatusKey(key.status), {}});
  if (key.name.empty()) return lines.join('\n');
  if (!key.reservedJob.empty()) {
    lines << texts_(Text{"Keyboard.Runs", {std::string(key.reservedJob)}});
    return lines.join('\n');
  }
  // What a binding runs, and where it was made: a file of the player's, or the list.
  const auto does = [this](const std::string& textKey,
                           const std::optional<game::Definition>& binding) {
    if (!binding) return texts_(Text{textKey + "Nothing", {}});
    const std::string line = std::to_string(binding->origin.line + 1);
    if (binding->origin.OfList()) return texts_(Text{textKey + "List", {binding->text, line}});
    return texts_(Text{textKey, {binding->text, binding->origin.file, line}});
  };
  lines << does("Keyboard.Now", key.before) << does("Keyboard.After", key.after);
  return lines.join('\n');
}

void KeyboardView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPalette& colours = palette();
  const double q = Quarter();
  QFont labelFont = font(), markFont = font();
  markFont.setBold(true);
  markFont.setPixelSize(std::max(8, static_cast<int>(q * 1.7)));
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    const KeyCap& key = keys_[i];
    const QRectF area = KeyArea(key);
    const Look look = LookOf(key.status);
    const bool received = key.status != KeyStatus::kNeverReceived;
    // The face, its pattern, and its edge: dashed for a key the game never receives.
    painter.setPen(QPen(colours.color(received ? QPalette::Text : QPalette::Mid), 1,
                        received ? Qt::SolidLine : Qt::DashLine));
    painter.setBrush(look.fill  ? ColourOf(*look.fill, colours)
                     : received ? colours.color(QPalette::Base)
                                : colours.color(QPalette::Window));
    painter.drawRoundedRect(area, q * 0.5, q * 0.5);
    if (look.pattern != Qt::NoBrush) {
      QColor ink = colours.color(QPalette::Text);
      ink.setAlpha(90);
      painter.setPen(Qt::NoPen);
      painter.setBrush(QBrush(ink, look.pattern));
      painter.drawRoundedRect(area, q * 0.5, q * 0.5);
    }
    if (static_cast<int>(i) == current_ && hasFocus()) {
      painter.setPen(QPen(colours.color(QPalette::Highlight), std::max(2.0, q * 0.4)));
      painter.setBrush(Qt::NoBrush);
      painter.drawRoundedRect(area.adjusted(1, 1, -1, -1), q * 0.5, q * 0.5);
    }
    // The label, smaller for a word than for a character.
    painter.setPen(colours.color(received ? QPalette::Text : QPalette::PlaceholderText));
    labelFont.setPixelSize(std::max(7, static_cast<int>(q * (key.label.size() > 2 ? 1.3 : 1.9))));
    painter.setFont(labelFont);
    const QRectF inside = area.adjusted(1, q * 0.9, -1, -1);
    painter.drawText(inside, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip,
                     painter.fontMetrics().elidedText(FromAnsi(key.label), Qt::ElideRight,
                                                      static_cast<int>(inside.width())));
    if (!look.mark.isEmpty()) {
      painter.setFont(markFont);
      painter.drawText(area.adjusted(0, 0, -q * 0.4, 0), Qt::AlignRight | Qt::AlignTop, look.mark);
    }
    if (key.listError) {
      const double side = std::max(6.0, q * 1.4);
      MarkOf(game::Severity::kError)
          .paint(&painter,
                 QRectF(area.left() + q * 0.3, area.top() + q * 0.3, side, side).toAlignedRect());
    }
  }
}

void KeyboardView::Choose(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= keys_.size()) return;
  current_ = index;
  update();
  const KeyCap& key = keys_[static_cast<std::size_t>(index)];
  if (key.name.empty()) return;  // the game never receives it
  emit KeyChosen(FromAnsi(key.name), key.listLine);
}

void KeyboardView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  Choose(KeyAt(event->position().toPoint()));
}

void KeyboardView::keyPressEvent(QKeyEvent* event) {
  if (keys_.empty()) return QWidget::keyPressEvent(event);
  int dx = 0, dy = 0;
  switch (event->key()) {
    case Qt::Key_Left:
      dx = -1;
      break;
    case Qt::Key_Right:
      dx = 1;
      break;
    case Qt::Key_Up:
      dy = -1;
      break;
    case Qt::Key_Down:
      dy = 1;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      Choose(std::max(current_, 0));
      return;
    default:
      return QWidget::keyPressEvent(event);
  }
  current_ =
      current_ < 0
          ? 0
          : static_cast<int>(game::NeighbourKey(keys_, static_cast<std::size_t>(current_), dx, dy));
  update();
}

void KeyboardView::focusInEvent(QFocusEvent* event) {
  if (current_ < 0 && !keys_.empty()) current_ = 0;
  QWidget::focusInEvent(event);
  update();
}

bool KeyboardView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const int index = KeyAt(help->pos());
    if (index < 0) {
      QToolTip::hideText();
    } else {
      const auto key = static_cast<std::size_t>(index);
      QToolTip::showText(help->globalPos(), PlainToolTip(ToolTipOf(key)), this, KeyRect(key));
    }
    return true;
  }
  if (event->type() == QEvent::FocusOut) update();
  return QWidget::event(event);
}

}  // namespace tavrilo::ui
