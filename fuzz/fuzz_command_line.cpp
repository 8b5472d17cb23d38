// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary arguments and shows arbitrary bytes as the command line does, and checks
// its promises: the arguments are taken or refused with a reason (a check names its files,
// the window at most one, and gets only arguments it was given); what reaches a terminal
// holds no control character; what goes into a JSON string is valid UTF-8 in which every
// control character, quote and backslash is escaped.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Options.h"
#include "cli/Output.h"

namespace {

using tavrilo::cli::Form;

[[noreturn]] void Violated(const char* property) {
  std::fprintf(stderr, "command line property violated: %s\n", property);
  std::abort();
}

// The characters of valid UTF-8 text; aborts on anything else.
std::vector<char32_t> DecodeStrictly(std::string_view text) {
  std::vector<char32_t> characters;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const std::size_t length = b < 0x80   ? 1
                               : b < 0xC2 ? 0
                               : b < 0xE0 ? 2
                               : b < 0xF0 ? 3
                               : b < 0xF5 ? 4
                                          : 0;
    if (length == 0 || i + length > text.size()) Violated("invalid UTF-8 written");
    char32_t c = length == 1 ? b : b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) Violated("invalid UTF-8 written");
      c = (c << 6) | (next & 0x3Fu);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
      Violated("invalid UTF-8 written");
    characters.push_back(c);
    i += length;
  }
  return characters;
}

bool IsControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

void CheckTerminal(const std::string& shown) {
  for (const char32_t c : DecodeStrictly(shown)) {
    if (IsControl(c)) Violated("a control character reaches the terminal");
  }
}

void CheckJson(const std::string& shown) {
  const std::vector<char32_t> characters = DecodeStrictly(shown);
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const char32_t c = characters[i];
    if (IsControl(c)) Violated("a raw control character in a JSON string");
    if (c == '"') Violated("an unescaped quote in a JSON string");
    if (c != '\\') continue;
    if (++i == characters.size()) Violated("a JSON string ends in a backslash");
    const char32_t e = characters[i];
    if (e == 'u') {
      if (i + 4 >= characters.size()) Violated("a short \\u escape");
      for (std::size_t k = 1; k <= 4; ++k) {
        const char32_t h = characters[i + k];
        if (!((h >= '0' && h <= '9') || (h >= 'a' && h <= 'f') || (h >= 'A' && h <= 'F')))
          Violated("a \\u escape without four hexadecimal digits");
      }
      i += 4;
    } else if (std::u32string_view(U"\"\\/bfnrt").find(e) == std::u32string_view::npos) {
      Violated("an escape JSON does not have");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The arguments: the input cut at each NUL byte.
  std::vector<std::string> args;
  for (std::size_t start = 0; start <= bytes.size();) {
    const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
    args.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  const tavrilo::cli::ParsedArguments parsed = tavrilo::cli::ParseArguments(args);
  if (parsed.error) {
    if (parsed.error->key.rfind("Cli.", 0) != 0) Violated("a refusal without its text");
  } else {
    const tavrilo::cli::Options& options = parsed.options;
    if (options.action == tavrilo::cli::Action::kCheck && options.files.empty())
      Violated("a check without a file");
    if (options.action == tavrilo::cli::Action::kWindow && options.files.size() > 1)
      Violated("a window with several files");
    if (options.windowArguments.size() > args.size()) Violated("window arguments made up");
  }

  // The bytes as a file name, as a text of the system and as a value of a message.
  for (const Form form : {Form::kTerminal, Form::kJson}) {
    std::string asBytes, asAnsi, asText;
    tavrilo::cli::AppendBytes(asBytes, bytes, form);
    tavrilo::cli::AppendAnsi(asAnsi, bytes, form);
    tavrilo::cli::AppendText(asText, bytes, form);
    for (const std::string* shown : {&asBytes, &asAnsi, &asText})
      form == Form::kTerminal ? CheckTerminal(*shown) : CheckJson(*shown);
  }
  return 0;
}
