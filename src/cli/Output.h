// SPDX-License-Identifier: GPL-3.0-or-later
// What the command line prints: texts made safe for a terminal or for a JSON string, and
// one buffered writer for standard output.
//
// A checked file is whatever its author wrote: its bytes and its name never reach the
// terminal raw. Control characters (below 0x20, 0x7F and 0x80 to 0x9F) are shown as
// "\x1b"; in JSON they are "\u001b" (or "\n", "\t"...), with '"' and '\' escaped. The
// invisible characters that change how the text around them shows (the bidirectional
// controls U+202A to U+202E and U+2066 to U+2069, U+2028, U+2029, the zero-width and other
// format characters) are shown by their number, "\u202e", on a terminal and in JSON.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace tavrilo::cli {

enum class Form {
  kTerminal,  // UTF-8 text, control characters as \xNN
  kJson,      // the inside of a JSON string: UTF-8, every control character escaped
};

// Appends a Windows-1252 text (the system's texts, the bytes of a checked file) in UTF-8.
void AppendAnsi(std::string& out, std::string_view ansi, Form form);

// Appends bytes that are UTF-8 where they can be (file names, as the system gives them):
// each valid UTF-8 sequence as it is, each other byte escaped as \xNN (terminal) or
// \u00NN (JSON).
void AppendBytes(std::string& out, std::string_view bytes, Form form);

// Appends a text of the system: bytes that read as UTF-8 with characters beyond ASCII
// (a file name among the values of a message) as AppendBytes, any other as AppendAnsi.
void AppendText(std::string& out, std::string_view text, Form form);

// Collects what is printed and writes it to a stream in large blocks, never a line at a
// time. Once a write fails nothing more is written, and Failed() says so.
class BufferedWriter {
 public:
  static constexpr std::size_t kBlock = std::size_t{1} << 16;

  explicit BufferedWriter(std::ostream& stream) : stream_(stream) { buffer_.reserve(2 * kBlock); }
  ~BufferedWriter() { Flush(); }
  BufferedWriter(const BufferedWriter&) = delete;
  BufferedWriter& operator=(const BufferedWriter&) = delete;

  // The text being collected: append to it, then call Written().
  std::string& Buffer() { return buffer_; }
  void Written() {
    if (buffer_.size() >= kBlock) Write();
  }

  // Writes what is collected and flushes the stream. Returns false when any write failed.
  bool Flush();
  bool Failed() const { return failed_; }

 private:
  void Write();

  std::ostream& stream_;
  std::string buffer_;
  bool failed_ = false;
};

}  // namespace tavrilo::cli
