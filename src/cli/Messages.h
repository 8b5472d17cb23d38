// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the command line, in the language it speaks: the caption file of that
// language is read once, and each text becomes a pattern the first time it is needed, so
// that a million findings are printed without looking anything up again.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cli/Output.h"
#include "core/Text.h"
#include "datafiles/IniFile.h"
#include "datafiles/Language.h"

namespace tavrilo::cli {

// Reads an environment variable: its value, or nullptr when it is not set.
using Environment = std::function<const char*(const char*)>;

// The language a locale name asks for: French for "fr" ("fr", "fr_FR.UTF-8", "fr_CA@euro"),
// English for any other ("C", "POSIX", "en_GB", "de_DE"...).
datafiles::Language LanguageOfLocale(std::string_view locale);

// The language of the command line, as gettext chooses it: `chosen` (--lang) when given;
// else, when the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty names a
// locale other than C or POSIX, the first language of the list LANGUAGE ("fr:en") that the
// program speaks, or that locale's language; else the one chosen in the window (the
// settings file of `dataRoot`); else English.
datafiles::Language CommandLineLanguage(std::optional<datafiles::Language> chosen,
                                        const Environment& environment,
                                        const std::string& dataRoot);

// A text of the caption file, cut at its placeholders %1 to %9 ("%%" is one "%"), with
// its fixed parts already in the form they are printed in.
class Pattern {
 public:
  // `separator` goes between the groups of digits of a grouped number among the values.
  Pattern(std::string_view ansi, Form form, char separator = kDigitGroupMark);
  // Appends the text with `args` (texts of the system, see AppendText) in their places. A
  // placeholder without a value stays as it is.
  template <typename Args>
  void AppendTo(std::string& out, const Args& args) const {
    for (const Piece& piece : pieces_) {
      out += piece.fixed;
      if (piece.arg < 0) continue;
      const auto index = static_cast<std::size_t>(piece.arg);
      if (index < std::size(args)) {
        AppendValue(out, args[index]);
      } else {
        out += '%';
        out += static_cast<char>('1' + piece.arg);
      }
    }
  }

 private:
  template <typename Value>
  void AppendValue(std::string& out, const Value& value) const {
    if (separator_ == kDigitGroupMark || !IsGroupedNumber(value)) {
      AppendText(out, value, form_);
    } else {
      std::string shown;
      tavrilo::AppendValue(shown, value, separator_);
      AppendText(out, shown, form_);
    }
  }

  struct Piece {
    std::string fixed;  // printed as it is
    int arg = -1;       // then the value of this placeholder (from 0), or none
  };
  std::vector<Piece> pieces_;
  Form form_;
  char separator_;
};

class Messages {
 public:
  // Reads the caption file of `language` under `dataRoot`; without one every text shows
  // as its key and values (FallbackText).
  Messages(const std::string& dataRoot, datafiles::Language language);

  datafiles::Language GetLanguage() const { return language_; }

  // The pattern of `key`; nullptr when the caption file has no text for it.
  const Pattern* Find(std::string_view key, Form form) const;

  // The text of `key` as the caption file holds it (Windows-1252), or the key itself.
  std::string Ansi(std::string_view key) const;

  // Appends `text`: its pattern with its values, or its key and values.
  void AppendTo(std::string& out, const Text& text, Form form) const;
  // The same as a new text.
  std::string Shown(const Text& text, Form form = Form::kTerminal) const;
  std::string Shown(std::string key, std::vector<std::string> args = {}) const {
    return Shown(Text{std::move(key), std::move(args)});
  }

 private:
  datafiles::Language language_;
  datafiles::IniSection captions_;
  mutable std::unordered_map<std::string, std::unique_ptr<Pattern>> compiled_[2];
};

}  // namespace tavrilo::cli
