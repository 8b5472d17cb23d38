// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/LineReader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/Errors.h"
#include "core/FileError.h"
#include "core/StringList.h"
#include "core/Text.h"
#include "core/WholeFile.h"

namespace tavrilo {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kEndOfFileMark = '\x1A';

// The first CR or LF in [p, end), or `end`.
const char* FindLineEnd(const char* p, const char* end) {
  return std::find_if(p, end, [](char c) { return c == kCR || c == kLF; });
}

}  // namespace

LineReader::LineReader(const std::string& path) : path_(path) {
  if (const platform::ErrorCode error = file_.Open(path)) ThrowReadError(error, path_);
  if (file_.Size() > kMaxWholeFileSize) {
    file_.Close();
    ThrowReadError(platform::kFileTooBig, path_);
  }
  size_ = static_cast<std::size_t>(file_.Size());
  buffer_ = std::make_unique<char[]>(kBufferSize);
}

LineReader::~LineReader() {
  Close();
}

void LineReader::Close() {
  file_.Close();
  begin_ = end_ = 0;
  endOfFile_ = true;
}

void LineReader::ThrowLineTooLong() const {
  throw TextError(Text{"File.LineTooLong", {path_, std::to_string(lineNumber_)}});
}

bool LineReader::Fill() {
  if (endOfFile_) return false;
  begin_ = end_ = 0;
  platform::ErrorCode error = platform::kNoError;
  const std::ptrdiff_t n = file_.Read(buffer_.get(), kBufferSize, error);
  if (n < 0) throw FileError(error, path_);
  if (n == 0) {
    endOfFile_ = true;
    return false;
  }
  end_ = static_cast<std::size_t>(n);
  // A file that grows while it is read stops at the bound.
  if (end_ > kMaxWholeFileSize - read_) ThrowReadError(platform::kFileTooBig, path_);
  read_ += end_;
  // The file ends at its first 0x1A: nothing after it is ever read.
  if (const void* mark = std::memchr(buffer_.get(), kEndOfFileMark, end_)) {
    const auto markAt = static_cast<std::size_t>(static_cast<const char*>(mark) - buffer_.get());
    const std::uint64_t markOffset = read_ - end_ + markAt;  // in the file
    moreAfterEndMark_ = markAt + 1 < end_ || markOffset + 1 < size_;
    end_ = markAt;
    endOfFile_ = true;
  }
  return end_ > 0;
}

std::string LineReader::ReadLine() {
  std::string line;
  ReadLine(line);
  return line;
}

void LineReader::ReadLine(std::string& line) {
  line.clear();
  if (AtEnd()) return;
  ++lineNumber_;
  for (;;) {
    const char* start = buffer_.get() + begin_;
    const char* stop = buffer_.get() + end_;
    const char* hit = FindLineEnd(start, stop);
    const auto length = static_cast<std::size_t>(hit - start);
    if (length > kMaxLineLength - line.size()) ThrowLineTooLong();
    line.append(start, length);
    begin_ = static_cast<std::size_t>(hit - buffer_.get());
    if (hit == stop) {
      if (!Fill()) return;  // a last line without terminator
      continue;
    }
    ++begin_;
    if (*hit == kCR && (begin_ < end_ || Fill()) && buffer_[begin_] == kLF) ++begin_;
    return;
  }
}

void ReadLines(LineReader& reader, StringList& list) {
  // Lines are rarely shorter than this, terminator included: the room for the positions
  // is generous, and the part no line uses is never touched.
  constexpr std::size_t kShortLine = 16;
  list.Reserve(reader.Size() / kShortLine + 1, reader.Size());
  std::string line;  // one buffer serves every line
  while (!reader.AtEnd()) {
    reader.ReadLine(line);
    list.Add(line);
  }
}

void ReadLinePairs(LineReader& reader, StringList& first, StringList& second) {
  while (!reader.AtEnd()) {
    first.Add(reader.ReadLine());
    second.Add(reader.ReadLine());
  }
}

}  // namespace tavrilo
