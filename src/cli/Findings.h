// SPDX-License-Identifier: GPL-3.0-or-later
// The findings of a checked file as --check prints them: "FILE:LINE:COLUMN: error: text"
// lines for a terminal, or one JSON object per line. The pattern of each kind of finding
// is looked up once; a million findings are then printed without another lookup.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "cli/Messages.h"
#include "cli/Output.h"
#include "game/Check.h"

namespace tavrilo::cli {

class FindingPrinter {
 public:
  FindingPrinter(const Messages& messages, Form form);

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
  Form form_;
  std::string errorWord_, noteWord_;
  std::array<Known, static_cast<std::size_t>(game::Code::kCount)> known_{};
};

}  // namespace tavrilo::cli
