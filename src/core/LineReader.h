// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a text file line by line. The bytes are taken as they are (no code-page
// conversion, no byte-order mark). CR LF, a lone CR and a lone LF each end a line; the
// byte 0x1A ends the file wherever it stands. A line longer than kMaxLineLength stops the
// reading with an error: the game discards any line of 1,024 bytes or more, and a file
// without line ends (or an endless one) must not take all the memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Platform.h"

namespace tavrilo {

class StringList;

// The longest line the reader returns: 1 MiB.
inline constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;

class LineReader {
 public:
  // Opens `path` for reading; throws FileError (core/FileError.h), which names the file
  // and the reason of the failure. Only a regular file can be read: a directory, a FIFO, a
  // socket or a device is refused at once ("IsDirectory", "NotRegularFile"), without
  // waiting for a writer. A file larger than kMaxWholeFileSize (core/WholeFile.h) is
  // refused at once ("TooBig"), and so is one that grows past it while it is read.
  explicit LineReader(const std::string& path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // True at the physical end of the file and before a 0x1A byte. Throws FileError when
  // the file cannot be read (the same message wherever in the file the error comes), or
  // grows past the bound.
  bool AtEnd() { return begin_ == end_ && !Fill(); }

  // The next line without its terminator; the empty text at end. Throws FileError when
  // the file cannot be read, and TextError "File.LineTooLong" {path, line number} at a
  // line longer than kMaxLineLength.
  std::string ReadLine();
  // The same into `line`, reusing its storage.
  void ReadLine(std::string& line);

  // Closes the file; the reader is at end afterwards. Also done by the destructor.
  void Close();

  // The file's size in bytes when it was opened (0 when the system does not tell).
  std::size_t Size() const { return size_; }

  // Whether the reading stopped at a 0x1A byte that more bytes follow: the file holds
  // more than its lines as read here (the game reads on). Known once at end.
  bool MoreAfterEndMark() const { return moreAfterEndMark_; }

 private:
  bool Fill();  // false when the file has no more bytes
  [[noreturn]] void ThrowLineTooLong() const;

  std::string path_;
  platform::InputFile file_;
  std::uint64_t read_ = 0;  // bytes read so far
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool endOfFile_ = false;  // no byte after the buffer's is read any more
  std::size_t size_ = 0;
  std::size_t lineNumber_ = 0;  // of the line being read, from 1
  bool moreAfterEndMark_ = false;
};

// While the reader is not at end, reads a line and appends it to `list`, which first
// makes room for what the file can hold.
void ReadLines(LineReader& reader, StringList& list);

// While the reader is not at end, reads a line into `first`, then a line into `second`.
// The end is tested only before the first line of a pair, so an odd last line gets an
// empty partner.
void ReadLinePairs(LineReader& reader, StringList& first, StringList& second);

}  // namespace tavrilo
