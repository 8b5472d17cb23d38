// SPDX-License-Identifier: GPL-3.0-or-later
// INI files with the rules of the Windows private-profile functions: section and key
// names match without regard to letter case; the value is the text after the first
// "=", trimmed of blanks, without one pair of enclosing quotes, at most 1023
// characters. Every operation opens the file anew; nothing stays open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tavrilo::datafiles {

inline constexpr std::string_view kGeneralSection = "General";
inline constexpr std::size_t kMaxIniValueLength = 1023;

// The values of one section of an INI file, read once and looked up by key with the
// rules of IniFile::ReadString: letter case ignored, the first line of a key wins (one
// without "=" reads as absent), names and values trimmed, one pair of enclosing quotes
// removed, at most 1023 characters.
class IniSection {
 public:
  // The value of `key`; nullptr when the section has no such key.
  const std::string* Find(std::string_view key) const;

 private:
  friend IniSection ParseIniSection(std::string_view content, std::string_view section);
  std::unordered_map<std::string, std::optional<std::string>> values_;  // by folded name
};

// Keys and their values, in the order they are written.
using IniValues = std::vector<std::pair<std::string, std::string>>;

class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  // The value of `key` in `section`, or `defaultValue` when the file, the section or the
  // key is absent. Fails only for a file too big to be read whole (over 64 MiB): TextError
  // "File.TooBig" {path}.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;

  // Replaces the value of `key`, or adds the key, the section or the file. Every other
  // line of the file stays as it was, byte for byte. Throws FileError (the file and the
  // system's reason) when the file cannot be read or written (its directory must exist),
  // and SettingWriteError ("Unable to write to %s", the file's path) when the section, key or
  // value holds CR or LF.
  void WriteString(std::string_view section, std::string_view key, std::string_view value) const;

  // Replaces the values of several keys of `section` at once, as WriteString: one read of
  // the file as it is now, one write, so the file never holds some of them without the
  // others. Nothing is written when the file already holds them all.
  void WriteStrings(std::string_view section, const IniValues& values) const;

  // Every value of `section`, read from the file at once; no value when the file or the
  // section is absent or cannot be read. Fails only for a file too big to be read whole,
  // as ReadString.
  IniSection ReadSection(std::string_view section) const;

  // A flag: the value read as text, parsed by ParseFlagNumber; the default when that fails,
  // otherwise whether the number is not zero. Fails like ReadString.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Writes "1" for true and "0" for false; fails like WriteString.
  void WriteBool(std::string_view section, std::string_view key, bool value) const;

 private:
  std::string path_;
};

// The number of a flag's text: "0x"/"0X" at the start of a text longer than two
// characters stands for "$"; then optional leading blanks and either an optional sign
// with decimal digits or "$" with hexadecimal digits, running to the end of the text and
// fitting in 32 bits. std::nullopt when the text is not such a number (the empty text
// included).
std::optional<std::int32_t> ParseFlagNumber(std::string_view text);

// The rules of IniFile applied to the text of a whole INI file, as read from disk.
// FindIniValue: the value of `key` in the first section named `section`, or std::nullopt
// when the section or the key is absent, or when the key's line has no "=" (which reads
// as the default).
std::optional<std::string> FindIniValue(std::string_view content, std::string_view section,
                                        std::string_view key);
// ParseIniSection: the values of the first section named `section`; none when there is
// no such section.
IniSection ParseIniSection(std::string_view content, std::string_view section);
// SetIniValue: `content` with the value of `key` in `section` set to `value`: the key's
// line rewritten, or the key added at the end of the section, or the section appended;
// every other line kept byte for byte. The names and the value must not hold CR or LF.
std::string SetIniValue(std::string_view content, std::string_view section, std::string_view key,
                        std::string_view value);

// The settings one window changed that are not yet in the settings file. A change is
// written at once, with every other change still waiting, in one write over the file as
// it is on disk then (IniFile::WriteStrings): what another window wrote meanwhile stays,
// and two windows open at once never undo each other's choices. A change whose write
// failed waits for the next write, at the latest the one at close.
class SettingsChanges {
 public:
  // Records `value` for `key` of section General (replacing a waiting value of that key).
  void Set(std::string_view key, std::string value);
  // Writes the waiting values over `settings`; they stop waiting once written. Fails like
  // IniFile::WriteStrings, the values still waiting.
  void WriteTo(const IniFile& settings);
  bool Waiting() const { return !values_.empty(); }

 private:
  IniValues values_;
};

}  // namespace tavrilo::datafiles
