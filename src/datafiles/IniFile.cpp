// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafiles/IniFile.h"

#include <algorithm>
#include <cstring>

#include "core/Errors.h"
#include "core/FileError.h"
#include "core/Platform.h"
#include "core/SafeFile.h"
#include "core/WholeFile.h"

namespace tavrilo::datafiles {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// Windows-1252 letters folded to lower case: ASCII, the accented capitals C0-DE (but
// not the multiplication sign D7), and the four capitals of 8A-9F.
unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + ('a' - 'A'));
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A:  // S caron
    case 0x8C:  // OE
    case 0x8E:  // Z caron
      return static_cast<unsigned char>(c + 0x10);
    case 0x9F:  // Y diaeresis
      return 0xFF;
    default:
      return c;
  }
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool HoldsLineEnd(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// One line of the file: its text is [begin, end), its line end [end, next).
struct Line {
  std::size_t begin;
  std::size_t end;
  std::size_t next;
};

enum class LineKind { kBlank, kSection, kKey };

struct ParsedLine {
  LineKind kind;
  std::string_view name;                  // section or key name, trimmed
  std::optional<std::string_view> value;  // a key's value, trimmed; none without "="
};

ParsedLine Parse(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return {LineKind::kBlank, {}, std::nullopt};
  if (text.front() == '[') {
    const std::size_t close = text.rfind(']');
    if (close != std::string_view::npos) {
      return {LineKind::kSection, Trim(text.substr(1, close - 1)), std::nullopt};
    }
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {LineKind::kKey, text, std::nullopt};
  return {LineKind::kKey, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

// The lines of a file's text, one after the other: CR LF, a lone CR and a lone LF each
// end a line; a last line without a line end counts. A UTF-8 byte-order mark before the
// first line is not part of it. Lines are found as they are asked for, so a search that
// stops early does not split the rest of the file.
class LineWalker {
 public:
  explicit LineWalker(std::string_view content)
      : content_(content),
        pos_(content.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0) {}

  std::optional<Line> Next() {
    if (pos_ >= content_.size()) return std::nullopt;
    const std::size_t end = std::min(content_.find_first_of("\r\n", pos_), content_.size());
    std::size_t next = end;
    if (end < content_.size()) {
      ++next;
      if (content_[end] == '\r' && next < content_.size() && content_[next] == '\n') ++next;
    }
    const Line line{pos_, end, next};
    pos_ = next;
    return line;
  }

  ParsedLine ParseLine(const Line& line) const {
    return Parse(content_.substr(line.begin, line.end - line.begin));
  }

 private:
  std::string_view content_;
  std::size_t pos_;
};

// Where a key stands in a file: the first section of the name and, in it, the first
// line of the key.
struct Location {
  bool sectionFound = false;
  Line lastOfSection{};     // the section's last non-blank line (its own line at first)
  std::optional<Line> key;  // the key's line
  ParsedLine keyLine{LineKind::kBlank, {}, std::nullopt};
  std::optional<Line> lastOfFile;  // the file's last line, when the search went through it
};

Location Locate(std::string_view content, std::string_view section, std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  Location where;
  LineWalker lines(content);
  while (const std::optional<Line> line = lines.Next()) {
    where.lastOfFile = line;
    const ParsedLine parsed = lines.ParseLine(*line);
    if (!where.sectionFound) {
      if (parsed.kind == LineKind::kSection && SameName(parsed.name, section)) {
        where.sectionFound = true;
        where.lastOfSection = *line;
      }
      continue;
    }
    if (parsed.kind == LineKind::kSection) break;  // only the first such section counts
    if (parsed.kind == LineKind::kBlank) continue;
    where.lastOfSection = *line;
    if (SameName(parsed.name, key)) {
      where.key = line;
      where.keyLine = parsed;
      break;
    }
  }
  return where;
}

// A value as it reads: without one pair of enclosing quotes, at most 1023 characters.
std::string ValueText(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxIniValueLength));
}

// A name as the lookup of IniSection holds it: each byte folded to lower case.
std::string FoldedName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
  return folded;
}

// The line end a file uses: a lone LF when its first line ends so, otherwise CR LF.
std::string_view LineEndOf(std::string_view content) {
  const std::size_t first = content.find_first_of("\r\n");
  if (first != std::string_view::npos && content[first] == '\n') return "\n";
  return "\r\n";
}

enum class ReadStatus { kRead, kAbsent, kFailed };

// A file too big to be read whole is refused with its own message (FileError "TooBig"),
// never taken for an absent or empty one. `error` tells why a file was not read.
ReadStatus ReadSettingsFile(const std::string& path, std::string& content, int& error) {
  error = ReadWholeFile(path, content);
  if (error == 0) return ReadStatus::kRead;
  if (IsTooBig(error)) ThrowReadError(error, path);
  return platform::IsNotFound(error) ? ReadStatus::kAbsent : ReadStatus::kFailed;
}

ReadStatus ReadSettingsFile(const std::string& path, std::string& content) {
  int error = 0;
  return ReadSettingsFile(path, content, error);
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view content, std::string_view section,
                                        std::string_view key) {
  const Location where = Locate(content, section, key);
  if (!where.key || !where.keyLine.value) return std::nullopt;
  return ValueText(*where.keyLine.value);
}

IniSection ParseIniSection(std::string_view content, std::string_view section) {
  section = Trim(section);
  IniSection result;
  LineWalker lines(content);
  bool inSection = false;
  while (const std::optional<Line> line = lines.Next()) {
    const ParsedLine parsed = lines.ParseLine(*line);
    if (!inSection) {
      inSection = parsed.kind == LineKind::kSection && SameName(parsed.name, section);
      continue;
    }
    if (parsed.kind == LineKind::kSection) break;  // only the first such section counts
    if (parsed.kind == LineKind::kBlank) continue;
    // The first line of a key wins, also one without "=", which reads as absent.
    result.values_.try_emplace(
        FoldedName(parsed.name),
        parsed.value ? std::optional(ValueText(*parsed.value)) : std::nullopt);
  }
  return result;
}

const std::string* IniSection::Find(std::string_view key) const {
  const auto found = values_.find(FoldedName(Trim(key)));
  return found != values_.end() && found->second ? &*found->second : nullptr;
}

std::string SetIniValue(std::string_view content, std::string_view section, std::string_view key,
                        std::string_view value) {
  const Location where = Locate(content, section, key);
  const std::string_view lineEnd = LineEndOf(content);
  std::string result;
  result.reserve(content.size() + section.size() + key.size() + value.size() + 8);

  if (where.key) {
    // The key's line becomes key=value, in the file's own spelling of the key.
    const Line& line = *where.key;
    result.append(content.substr(0, line.begin));
    result.append(where.keyLine.name);
    result += '=';
    result.append(value);
    result.append(content.substr(line.end));
    return result;
  }

  const std::string_view newKey = Trim(key);
  if (where.sectionFound) {
    // A new last entry of the section, after its last non-blank line.
    const Line& line = where.lastOfSection;
    result.append(content.substr(0, line.end));
    const bool terminated = line.next > line.end;
    result.append(terminated ? content.substr(line.end, line.next - line.end) : lineEnd);
    result.append(newKey);
    result += '=';
    result.append(value);
    result.append(lineEnd);
    result.append(content.substr(line.next));
    return result;
  }

  // A new section at the end, apart from the text before it by a blank line.
  result.append(content);
  if (where.lastOfFile) {
    const Line& last = *where.lastOfFile;
    if (last.next == last.end) result.append(lineEnd);
    if (Parse(content.substr(last.begin, last.end - last.begin)).kind != LineKind::kBlank) {
      result.append(lineEnd);
    }
  }
  result += '[';
  result.append(Trim(section));
  result += ']';
  result.append(lineEnd);
  result.append(newKey);
  result += '=';
  result.append(value);
  result.append(lineEnd);
  return result;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  std::string content;
  if (ReadSettingsFile(path_, content) == ReadStatus::kRead) {
    if (std::optional<std::string> value = FindIniValue(content, section, key)) return *value;
  }
  return std::string(defaultValue);
}

void IniFile::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) const {
  WriteStrings(section, {{std::string(key), std::string(value)}});
}

void IniFile::WriteStrings(std::string_view section, const IniValues& values) const {
  // A line end in a name or a value would add lines to the file.
  if (HoldsLineEnd(section)) throw SettingWriteError(path_);
  for (const auto& [key, value] : values) {
    if (HoldsLineEnd(key) || HoldsLineEnd(value)) throw SettingWriteError(path_);
  }
  std::string content;
  int error = 0;
  // A file that exists but cannot be read is not replaced by one holding only these keys.
  if (ReadSettingsFile(path_, content, error) == ReadStatus::kFailed) throw FileError(error, path_);
  std::string updated = content;
  for (const auto& [key, value] : values)
    updated = SetIniValue(updated, section, key, value);
  if (updated == content) return;  // the file already says so
  SafeFileWriter writer(path_);
  writer.Write(updated);
  writer.Commit();
}

IniSection IniFile::ReadSection(std::string_view section) const {
  std::string content;
  if (ReadSettingsFile(path_, content) != ReadStatus::kRead) return {};
  return ParseIniSection(content, section);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  const std::optional<std::int32_t> number = ParseFlagNumber(ReadString(section, key, ""));
  return number ? *number != 0 : defaultValue;
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) const {
  WriteString(section, key, value ? "1" : "0");
}

std::optional<std::int32_t> ParseFlagNumber(std::string_view text) {
  bool hexadecimal = false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hexadecimal = true;
    text.remove_prefix(2);
  } else {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
      text.remove_prefix(1);
    if (!text.empty() && text.front() == '$') {
      hexadecimal = true;
      text.remove_prefix(1);
    }
  }

  if (hexadecimal) {
    if (text.empty()) return std::nullopt;
    std::uint64_t number = 0;
    for (char c : text) {
      int digit;
      if (c >= '0' && c <= '9') {
        digit = c - '0';
      } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
      } else if (c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
      } else {
        return std::nullopt;
      }
      number = number * 16 + static_cast<std::uint64_t>(digit);
      if (number > 0xFFFFFFFFULL) return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
  }

  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
    if (number > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -number : number);
}

void SettingsChanges::Set(std::string_view key, std::string value) {
  for (auto& [waiting, text] : values_) {
    if (waiting == key) {
      text = std::move(value);
      return;
    }
  }
  values_.emplace_back(std::string(key), std::move(value));
}

void SettingsChanges::WriteTo(const IniFile& settings) {
  if (values_.empty()) return;
  settings.WriteStrings(kGeneralSection, values_);
  values_.clear();
}

}  // namespace tavrilo::datafiles
