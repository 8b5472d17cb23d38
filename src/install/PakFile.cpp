// SPDX-License-Identifier: GPL-3.0-or-later
#include "install/PakFile.h"

#include <algorithm>
#include <array>
#include <new>

#include "core/Platform.h"
#include "game/Names.h"

namespace tavrilo::install {

namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kEntrySize = 64;
constexpr std::size_t kNameSize = 56;

std::uint32_t LittleEndian32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// Reads exactly `size` bytes at `offset`; false with `error` set (0 for a file that ends
// before them).
bool ReadAt(platform::InputFile& file, std::uint64_t offset, unsigned char* data, std::size_t size,
            int& error) {
  error = file.Seek(offset);
  if (error != platform::kNoError) return false;
  while (size > 0) {
    const std::ptrdiff_t n = file.Read(data, size, error);
    if (n <= 0) {
      if (n == 0) error = platform::kNoError;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The directory entry's name: up to its first NUL, at most 56 bytes.
std::string_view EntryName(const unsigned char* entry) {
  const auto* name = reinterpret_cast<const char*>(entry);
  std::size_t length = 0;
  while (length < kNameSize && name[length] != '\0')
    ++length;
  return {name, length};
}

}  // namespace

PakMember ReadPakMember(const std::string& pakPath, std::string_view name, std::uint64_t maxSize) {
  PakMember member;
  platform::InputFile file;
  const auto fail = [&](PakMember::Outcome outcome, int error = 0) {
    PakMember failed;
    failed.outcome = outcome;
    failed.error = error;
    return failed;
  };
  if (const int error = file.Open(pakPath)) return fail(PakMember::Outcome::kUnreadable, error);
  const std::uint64_t size = file.Size();
  int error = 0;
  std::array<unsigned char, kHeaderSize> header{};
  if (!ReadAt(file, 0, header.data(), header.size(), error)) {
    return error != 0 ? fail(PakMember::Outcome::kUnreadable, error)
                      : fail(PakMember::Outcome::kDamaged);
  }
  const std::uint64_t directory = LittleEndian32(&header[4]);
  const std::uint64_t directoryLength = LittleEndian32(&header[8]);
  if (header[0] != 'P' || header[1] != 'A' || header[2] != 'C' || header[3] != 'K' ||
      directoryLength % kEntrySize != 0 || directory > size || directoryLength > size - directory)
    return fail(PakMember::Outcome::kDamaged);
  // The directory is read a block of entries at a time: its length, bounded by the
  // archive's size, never decides an allocation.
  std::array<unsigned char, kEntrySize * 64> block{};
  for (std::uint64_t at = 0; at < directoryLength;) {
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), directoryLength - at));
    if (!ReadAt(file, directory + at, block.data(), count, error)) {
      return error != 0 ? fail(PakMember::Outcome::kUnreadable, error)
                        : fail(PakMember::Outcome::kDamaged);
    }
    at += count;
    for (std::size_t entry = 0; entry < count; entry += kEntrySize) {
      if (!game::EqualsIgnoringCase(EntryName(&block[entry]), name)) continue;
      const std::uint64_t offset = LittleEndian32(&block[entry + kNameSize]);
      const std::uint64_t length = LittleEndian32(&block[entry + kNameSize + 4]);
      if (offset > size || length > size - offset) return fail(PakMember::Outcome::kDamaged);
      if (length > maxSize) return fail(PakMember::Outcome::kTooBig);
      try {
        member.bytes.resize(static_cast<std::size_t>(length));
      } catch (const std::bad_alloc&) {
        return fail(PakMember::Outcome::kTooBig);
      }
      if (!ReadAt(file, offset, reinterpret_cast<unsigned char*>(member.bytes.data()),
                  member.bytes.size(), error)) {
        return error != 0 ? fail(PakMember::Outcome::kUnreadable, error)
                          : fail(PakMember::Outcome::kDamaged);
      }
      member.outcome = PakMember::Outcome::kRead;
      return member;
    }
  }
  return member;
}

}  // namespace tavrilo::install
