// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one file out of a game's .pak archive: a 12-byte header ("PACK", then the
// directory's offset and its length in bytes), the directory being 64-byte entries (a
// 56-byte NUL-padded name, then the file's offset and length), every number 32-bit
// little-endian. Nothing in the archive is trusted: a damaged or crafted archive is
// refused, never read out of bounds, and never makes the reader allocate more than the
// member's own bytes within the bound of any file read whole.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/WholeFile.h"

namespace tavrilo::install {

struct PakMember {
  enum class Outcome {
    kRead,        // `bytes` holds the member
    kAbsent,      // the archive has no member of that name
    kDamaged,     // not an archive, or one whose directory or member lies outside it
    kTooBig,      // the member is larger than the bound
    kUnreadable,  // the archive cannot be opened or read: `error`, of core/Platform.h
  };
  Outcome outcome = Outcome::kAbsent;
  std::string bytes;
  int error = 0;
};

// The member `name` (compared without regard to ASCII letter case, as the game does) of
// the archive `pakPath`; at most `maxSize` bytes.
PakMember ReadPakMember(const std::string& pakPath, std::string_view name,
                        std::uint64_t maxSize = kMaxWholeFileSize);

}  // namespace tavrilo::install
