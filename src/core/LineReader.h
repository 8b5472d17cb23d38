// Reads a text file line by line. The bytes are taken as they are (no code-page
// conversion, no byte-order mark). CR LF, a lone CR and a lone LF each end a line;
// the byte 0x1A ends the file wherever it stands; lines have no length limit.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tavrilo {

class StringList;

class LineReader {
 public:
  // Opens `path` for reading; throws EInOutError with the code of the failure.
  explicit LineReader(const std::string& path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // True at the physical end of the file and before a 0x1A byte. Throws EInOutError
  // when the file cannot be read.
  bool AtEnd() {
    if (begin_ < end_) return buffer_[begin_] == '\x1A';
    return AtEndOfBuffer();
  }

  // The next line without its terminator; the empty text at end.
  std::string ReadLine();
  // The same into `line`, reusing its storage.
  void ReadLine(std::string& line);

  // Closes the file; the reader is at end afterwards. Also done by the destructor.
  void Close();

  // The file's size in bytes when it was opened (0 when the system does not tell).
  std::size_t Size() const { return size_; }

 private:
  bool Fill();           // false when the file has no more bytes
  bool AtEndOfBuffer();  // AtEnd once every byte of the buffer is taken
  [[noreturn]] void ThrowReadError(int osError) const;

  std::string path_;
  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool endOfFile_ = false;
  std::size_t size_ = 0;
};

// While the reader is not at end, reads a line and appends it to `list`, which first
// makes room for what the file can hold.
void ReadLines(LineReader& reader, StringList& list);

// While the reader is not at end, reads a line into `first`, then a line into `second`.
// The end is tested only before the first line of a pair, so an odd last line gets an
// empty partner.
void ReadLinePairs(LineReader& reader, StringList& first, StringList& second);

}  // namespace tavrilo
