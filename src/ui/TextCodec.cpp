// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TextCodec.h"

#include <QFile>

#include "core/Ansi.h"

namespace tavrilo::ui {

QString FromAnsi(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (char byte : bytes)
    *out++ = QChar(UnicodeOfAnsi(static_cast<unsigned char>(byte)));
  return text;
}

std::string ToAnsi(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text)
    bytes += static_cast<char>(AnsiOfUnicode(c.unicode()).value_or('?'));
  return bytes;
}

QString FormatForUser(std::string_view pattern, const Text& text, char separator) {
  if (pattern.empty()) return FromAnsi(FallbackText(text));
  std::vector<std::string> args;
  args.reserve(text.args.size());
  for (const std::string& arg : text.args)
    args.push_back(IsUtf8WithHighBytes(arg) ? ToAnsi(PathFromBytes(arg)) : arg);
  return FromAnsi(FormatText(pattern, args, separator));
}

QString ShownText(std::string_view bytes) {
  if (bytes.size() <= static_cast<std::size_t>(kMaxShownLength)) return FromAnsi(bytes);
  return FromAnsi(bytes.substr(0, static_cast<std::size_t>(kMaxShownLength))) + QChar(kMoreMark);
}

QString PlainToolTip(const QString& text) {
  if (text.isEmpty()) return text;
  return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() +
         QStringLiteral("</p>");
}

bool IsAnsi(const QString& text) {
  for (QChar c : text) {
    if (!AnsiOfUnicode(c.unicode())) return false;
  }
  return true;
}

std::string PathToBytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString PathFromBytes(std::string_view bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QValidator::State AnsiValidator::validate(QString& input, int& /*position*/) const {
  return IsAnsi(input) ? Acceptable : Invalid;
}

}  // namespace tavrilo::ui
