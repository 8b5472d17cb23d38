// SPDX-License-Identifier: GPL-3.0-or-later
// Reads and writes arbitrary INI text and checks the properties of the private-profile
// rules: a value read is at most 1023 bytes, holds no line end, comes from the file and
// is the one the section read at once gives; a write changes at most one line of the old
// text, reads back as the value written, leaves every other key as it was and is
// idempotent; the file operations agree with the operations on text, and refuse line
// ends without touching the file.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "core/Errors.h"
#include "datafiles/IniFile.h"

namespace {

using tavrilo::datafiles::FindIniValue;
using tavrilo::datafiles::IniFile;
using tavrilo::datafiles::kMaxIniValueLength;
using tavrilo::datafiles::ParseFlagNumber;
using tavrilo::datafiles::ParseIniSection;
using tavrilo::datafiles::SetIniValue;

[[noreturn]] void Violated(const char* property) {
  std::fprintf(stderr, "INI property violated: %s\n", property);
  std::abort();
}

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

bool HoldsLineEnd(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// A value that the reading rules give back unchanged: no blanks to trim, no enclosing
// quotes to remove, nothing to cut.
bool ReadsBackUnchanged(std::string_view value) {
  if (value.size() > kMaxIniValueLength) return false;
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return false;
  return !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front());
}

const std::string& ScratchPath() {
  static const std::string path =
      std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/tavrilo-fuzz-ini-" +
      std::to_string(::getpid()) + ".ini";
  return path;
}

// Removes the scratch file at the end of each run: libFuzzer ends the process without
// running exit handlers.
struct ScratchRemover {
  ~ScratchRemover() { ::unlink(ScratchPath().c_str()); }
};

void WriteScratch(const std::string& bytes) {
  std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

std::string ReadScratch() {
  std::ifstream in(ScratchPath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void CheckFlagFormats(std::int32_t number) {
  const auto bits = static_cast<std::uint32_t>(number);
  char text[32];
  std::snprintf(text, sizeof text, "%d", number);
  if (ParseFlagNumber(text) != number) Violated("a decimal number does not parse back");
  std::snprintf(text, sizeof text, "$%X", bits);
  if (ParseFlagNumber(text) != number) Violated("a $ number does not parse back");
  std::snprintf(text, sizeof text, "0x%x", bits);
  if (ParseFlagNumber(text) != number) Violated("a 0x number does not parse back");
  std::snprintf(text, sizeof text, "  %+d", number);
  if (ParseFlagNumber(text) != number) Violated("a signed number after blanks does not parse");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ScratchRemover removeScratch;
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(24);
  const std::string key = input.ConsumeRandomLengthString(24);
  const std::string value = input.ConsumeRandomLengthString(1100);
  const std::string otherSection = input.ConsumeRandomLengthString(24);
  const std::string otherKey = input.ConsumeRandomLengthString(24);
  const bool throughFiles = input.ConsumeBool();
  CheckFlagFormats(input.ConsumeIntegral<std::int32_t>());
  const std::string content = input.ConsumeRemainingBytesAsString();

  const std::optional<std::string> found = FindIniValue(content, section, key);
  if (found) {
    if (found->size() > kMaxIniValueLength) Violated("a value longer than 1023 bytes");
    if (HoldsLineEnd(*found)) Violated("a value holds a line end");
    if (content.find(*found) == std::string::npos) Violated("a value that is not in the file");
    (void)ParseFlagNumber(*found);
  }
  const tavrilo::datafiles::IniSection values = ParseIniSection(content, section);
  const std::string* fromSection = values.Find(key);
  if ((fromSection != nullptr ? std::optional(*fromSection) : std::nullopt) != found) {
    Violated("the section read at once differs from the value read alone");
  }

  if (throughFiles) {
    WriteScratch(content);
    const IniFile ini(ScratchPath());
    if (ini.ReadString(section, key,
                       "\x01"
                       "default") != found.value_or("\x01"
                                                    "default")) {
      Violated("the file read differs from the text read");
    }
  }

  if (HoldsLineEnd(section) || HoldsLineEnd(key) || HoldsLineEnd(value)) {
    if (throughFiles) {
      try {
        IniFile(ScratchPath()).WriteString(section, key, value);
        Violated("a line end was written");
      } catch (const tavrilo::SettingWriteError&) {
      }
      if (ReadScratch() != content) Violated("a refused write changed the file");
    }
    return 0;
  }

  const std::string updated = SetIniValue(content, section, key, value);

  // The old text loses at most part of one line: no line end disappears.
  std::size_t prefix = 0;
  while (prefix < content.size() && prefix < updated.size() && content[prefix] == updated[prefix]) {
    ++prefix;
  }
  std::size_t suffix = 0;
  while (suffix < content.size() - prefix && suffix < updated.size() - prefix &&
         content[content.size() - 1 - suffix] == updated[updated.size() - 1 - suffix]) {
    ++suffix;
  }
  if (HoldsLineEnd(std::string_view(content).substr(prefix, content.size() - prefix - suffix))) {
    Violated("a write changed more than one line");
  }

  if (throughFiles) {
    IniFile(ScratchPath()).WriteString(section, key, value);
    if (ReadScratch() != updated) Violated("the file write differs from the text write");
  }

  // A key that would read as something else: one holding "=", or one that starts a line
  // with "[", which can make the line a section line.
  const std::string_view trimmedKey = Trim(key);
  if (trimmedKey.find('=') != std::string_view::npos ||
      (!trimmedKey.empty() && trimmedKey.front() == '[')) {
    return 0;
  }

  const std::optional<std::string> back = FindIniValue(updated, section, key);
  if (!back) Violated("a written key is not found");
  if (ReadsBackUnchanged(value)
          ? *back != value
          : (back->size() > kMaxIniValueLength || value.find(*back) == std::string::npos)) {
    Violated("a written value does not read back");
  }
  if (SetIniValue(updated, section, key, value) != updated) Violated("a second write changed it");

  // Names of different lengths are different names, whatever their letter case.
  if (Trim(otherKey).size() != trimmedKey.size() ||
      Trim(otherSection).size() != Trim(section).size()) {
    if (FindIniValue(content, otherSection, otherKey) !=
        FindIniValue(updated, otherSection, otherKey)) {
      Violated("a write changed another key");
    }
  }
  return 0;
}
