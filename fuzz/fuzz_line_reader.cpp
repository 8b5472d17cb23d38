// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as a text file and checks what the line reader gives back
// against the bytes themselves: each line is the next run of the file's bytes, ended by
// exactly one CR, LF or CR LF; nothing at or after the first 0x1A is read; nothing
// before it is skipped; the loaders see the same lines.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/LineReader.h"
#include "core/StringList.h"

namespace {

using tavrilo::LineReader;

constexpr std::size_t kReaderBufferSize = 64 * 1024;

const std::string& ScratchPath() {
  static const std::string path =
      std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/tavrilo-fuzz-lines-" +
      std::to_string(::getpid());
  return path;
}

// Removes the scratch file at the end of each run: libFuzzer ends the process without
// running exit handlers.
struct ScratchRemover {
  ~ScratchRemover() { ::unlink(ScratchPath().c_str()); }
};

void WriteScratch(const std::string& bytes) {
  const int fd = ::open(ScratchPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

[[noreturn]] void Violated(const char* property) {
  std::fprintf(stderr, "line reader property violated: %s\n", property);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ScratchRemover removeScratch;
  // With its two high bits set, the first byte moves the rest of the input up to the edge
  // of the reader's buffer, where a CR LF can be split between two reads.
  std::string bytes;
  if (size > 0 && (data[0] & 0xC0) == 0xC0) bytes.assign(kReaderBufferSize - (data[0] & 0x3F), 'p');
  if (size > 0) bytes.append(reinterpret_cast<const char*>(data) + 1, size - 1);
  WriteScratch(bytes);

  // Every other line is read into a reused string, which must hold nothing of the line
  // before it.
  std::vector<std::string> lines;
  {
    LineReader reader(ScratchPath());
    std::string reused = "left over";
    while (!reader.AtEnd()) {
      if (lines.size() % 2 == 0) {
        lines.push_back(reader.ReadLine());
      } else {
        reader.ReadLine(reused);
        lines.push_back(reused);
      }
    }
    if (!reader.ReadLine().empty()) Violated("a read at end gave text");
    reader.ReadLine(reused);
    if (!reused.empty()) Violated("a read at end left text in the reused string");
    if (!reader.AtEnd()) Violated("a read at end left the end");
  }

  const std::size_t limit = std::min(bytes.find('\x1A'), bytes.size());
  std::size_t pos = 0;
  for (const std::string& line : lines) {
    if (pos >= limit) Violated("a line was read at the end of the file");
    if (line.find_first_of(std::string_view("\r\n\x1A", 3)) != std::string::npos) {
      Violated("a line holds a line end or 0x1A");
    }
    if (bytes.compare(pos, line.size(), line) != 0) {
      Violated("a line is not the next bytes of the file");
    }
    pos += line.size();
    if (pos > limit) Violated("a line runs past 0x1A");
    if (pos == limit) continue;  // the last line: no line end follows
    if (bytes[pos] == '\r') {
      ++pos;
      if (pos < limit && bytes[pos] == '\n') ++pos;
    } else if (bytes[pos] == '\n') {
      ++pos;
    } else {
      Violated("a line stops before a byte that does not end it");
    }
  }
  if (pos != limit) Violated("bytes before the end were never read");

  {
    LineReader reader(ScratchPath());
    tavrilo::StringList all;
    tavrilo::ReadLines(reader, all);
    if (all.Items() != lines) Violated("ReadLines differs from reading line by line");
  }
  {
    LineReader reader(ScratchPath());
    tavrilo::StringList first;
    tavrilo::StringList second;
    tavrilo::ReadLinePairs(reader, first, second);
    if (first.Count() != second.Count()) Violated("pair lists of different lengths");
    std::vector<std::string> joined;
    for (int i = 0; i < first.Count(); ++i) {
      joined.emplace_back(first.At(i));
      joined.emplace_back(second.At(i));
    }
    std::vector<std::string> expected = lines;
    if (expected.size() % 2 != 0) expected.emplace_back();  // the odd line's empty partner
    if (joined != expected) Violated("ReadLinePairs differs from reading line by line");
  }
  return 0;
}
