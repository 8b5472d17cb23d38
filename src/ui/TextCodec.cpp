#include "ui/TextCodec.h"

#include <QFile>

#include <array>

namespace tavrilo::ui {

namespace {

// The characters of the bytes 0x80 to 0x9F; the five bytes without one keep their number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t CharOf(unsigned char byte) {
  return (byte >= 0x80 && byte <= 0x9F) ? kHighControls[byte - 0x80] : char16_t{byte};
}

std::optional<unsigned char> ByteOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace

QString FromAnsi(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (char byte : bytes)
    *out++ = QChar(CharOf(static_cast<unsigned char>(byte)));
  return text;
}

std::string ToAnsi(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text)
    bytes += static_cast<char>(ByteOf(c.unicode()).value_or('?'));
  return bytes;
}

namespace {

bool IsUtf8WithHighBytes(std::string_view bytes) {
  bool high = false;
  for (char byte : bytes)
    high = high || static_cast<unsigned char>(byte) >= 0x80;
  if (!high) return false;
  const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return QString::fromUtf8(data).toUtf8() == data;
}

}  // namespace

QString FormatForUser(std::string_view pattern, const Text& text) {
  if (pattern.empty()) return FromAnsi(FallbackText(text));
  std::vector<std::string> args;
  args.reserve(text.args.size());
  for (const std::string& arg : text.args)
    args.push_back(IsUtf8WithHighBytes(arg) ? ToAnsi(PathFromBytes(arg)) : arg);
  return FromAnsi(FormatText(pattern, args));
}

QString ShownText(std::string_view bytes) {
  if (bytes.size() <= static_cast<std::size_t>(kMaxShownLength)) return FromAnsi(bytes);
  return FromAnsi(bytes.substr(0, static_cast<std::size_t>(kMaxShownLength))) + QChar(kMoreMark);
}

QString PlainToolTip(const QString& text) {
  if (text.isEmpty()) return text;
  return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
         QStringLiteral("</p>");
}

bool IsAnsi(const QString& text) {
  for (QChar c : text) {
    if (!ByteOf(c.unicode())) return false;
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
