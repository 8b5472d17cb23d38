#include "core/LineReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/Errors.h"
#include "core/StringList.h"

namespace tavrilo {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kEndOfFileMark = '\x1A';

constexpr std::uint64_t Repeat(unsigned char byte) {
  return 0x0101010101010101ULL * byte;
}

// Non-zero exactly when one of the eight bytes of `word` is zero; the lowest set bit
// marks the first zero byte (little-endian order).
constexpr std::uint64_t ZeroBytes(std::uint64_t word) {
  return (word - Repeat(0x01)) & ~word & Repeat(0x80);
}

#if defined(__SSE2__)
// One bit per byte of the sixteen at `p`: set for CR, LF and 0x1A.
inline unsigned TerminatorMask16(const char* p) {
  const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(kCR)),
                                                 _mm_cmpeq_epi8(chunk, _mm_set1_epi8(kLF))),
                                    _mm_cmpeq_epi8(chunk, _mm_set1_epi8(kEndOfFileMark)));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}
#endif

// The first CR, LF or 0x1A in [p, end), or `end`. Where the processor has SSE2 (every
// x86-64), 64 bytes are looked at together: most lines end within them, so the loop
// rarely turns and the branch is predicted; otherwise eight bytes at a time.
const char* FindTerminator(const char* p, const char* end) {
#if defined(__SSE2__)
  while (end - p >= 64) {
    const std::uint64_t mask = std::uint64_t{TerminatorMask16(p)} |
                               std::uint64_t{TerminatorMask16(p + 16)} << 16 |
                               std::uint64_t{TerminatorMask16(p + 32)} << 32 |
                               std::uint64_t{TerminatorMask16(p + 48)} << 48;
    if (mask != 0) return p + std::countr_zero(mask);
    p += 64;
  }
  while (end - p >= 16) {
    const unsigned mask = TerminatorMask16(p);
    if (mask != 0) return p + std::countr_zero(mask);
    p += 16;
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      std::uint64_t hits = ZeroBytes(word ^ Repeat(kCR)) | ZeroBytes(word ^ Repeat(kLF)) |
                           ZeroBytes(word ^ Repeat(kEndOfFileMark));
      if (hits != 0) return p + std::countr_zero(hits) / 8;
      p += 8;
    }
  }
  while (p < end && *p != kCR && *p != kLF && *p != kEndOfFileMark)
    ++p;
  return p;
}

}  // namespace

LineReader::LineReader(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw EInOutError(IoErrorCodeFor(errno, path_));
  struct stat info {};
  if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
    Close();
    throw EInOutError(EInOutError::kAccessDenied);
  }
  if (S_ISREG(info.st_mode) && info.st_size > 0) size_ = static_cast<std::size_t>(info.st_size);
  buffer_ = std::make_unique<char[]>(kBufferSize);
}

LineReader::~LineReader() {
  Close();
}

void LineReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  begin_ = end_ = 0;
  endOfFile_ = true;
}

void LineReader::ThrowReadError(int osError) const {
  throw EInOutError(IoErrorCodeFor(osError, path_));
}

bool LineReader::Fill() {
  if (endOfFile_) return false;
  begin_ = end_ = 0;
  for (;;) {
    ssize_t n = ::read(fd_, buffer_.get(), kBufferSize);
    if (n > 0) {
      end_ = static_cast<std::size_t>(n);
      return true;
    }
    if (n == 0) {
      endOfFile_ = true;
      return false;
    }
    if (errno != EINTR) ThrowReadError(errno);
  }
}

bool LineReader::AtEndOfBuffer() {
  return !Fill() || buffer_[begin_] == kEndOfFileMark;
}

std::string LineReader::ReadLine() {
  std::string line;
  ReadLine(line);
  return line;
}

void LineReader::ReadLine(std::string& line) {
  line.clear();
  if (AtEnd()) return;
  for (;;) {
    const char* start = buffer_.get() + begin_;
    const char* stop = buffer_.get() + end_;
    const char* hit = FindTerminator(start, stop);
    line.append(start, static_cast<std::size_t>(hit - start));
    begin_ = static_cast<std::size_t>(hit - buffer_.get());
    if (hit == stop) {
      if (!Fill()) return;  // a last line without terminator
      continue;
    }
    if (*hit == kEndOfFileMark) return;  // stays in place: the reader is at end
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
