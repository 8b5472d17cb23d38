// SPDX-License-Identifier: GPL-3.0-or-later
// The findings of a checked file as --check prints them: "FILE:LINE:COLUMN: error: text"
// lines for a terminal, one JSON object per line, or the results of a SARIF 2.1.0 log.
// The pattern of each kind of finding is looked up once; a million findings are then
// printed without another lookup.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "cli/Messages.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "game/Check.h"

namespace tavrilo::cli {

// A file's name as the user gave it (bytes on POSIX, Windows-1252 on Windows), shown in
// UTF-8 in the form given.
void AppendFileName(std::string& out, std::string_view name, Form form);

// A file's name as a relative or absolute URI reference (the inside of a JSON string):
// "/" between folders, "file:///" before an absolute path, each byte other than a letter,
// a digit, "-._~/" percent-encoded from UTF-8.
void AppendFileUri(std::string& out, std::string_view name);

// The start of a SARIF log, up to the first result: the tool, its version and one rule
// for each finding of the rule book (its stable name as its id, its summary and its
// documentation), in the order of the codes.
void AppendSarifStart(std::string& out, const Messages& messages);

class FindingPrinter {
 public:
  FindingPrinter(const Messages& messages, Format format);

  // Appends every finding of `result` for the file shown as `name` (bytes as given) to
  // `out`; lines and columns from 1.
  void Print(std::string_view name, const game::CheckResult& result, BufferedWriter& out);

 private:
  void AppendMessage(std::string& out, const game::CheckResult& result,
                     const game::Finding& finding);

  // The pattern of a kind of finding, once looked up.
  struct Known {
    bool found = false;
    std::string key;
    const Pattern* pattern = nullptr;
  };

  const Messages& messages_;
  Format format_;
  Form form_;
  bool firstResult_ = true;  // SARIF: no comma before it
  std::string errorWord_, noteWord_;
  std::array<Known, static_cast<std::size_t>(game::Code::kCount)> known_{};
};

}  // namespace tavrilo::cli
