// File utilities: copying a file, testing its attributes, its modification date, and
// handing an address to the desktop.
#pragma once

#include <QDateTime>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tavrilo {

// Attribute bits, as the settings of the original platform number them.
inline constexpr std::uint16_t kFaReadOnly = 0x01;
inline constexpr std::uint16_t kFaHidden = 0x02;
inline constexpr std::uint16_t kFaDirectory = 0x10;
inline constexpr std::uint16_t kFaArchive = 0x20;

// Copies the bytes of `source` to `destination`, a file or a directory (which then
// receives the file under the source's name). The destination is made absolute first.
// Throws EFOpenError ("Cannot open file %s", the source as passed) and EFCreateError
// ("Cannot create file %s", the destination as formed); a failed read or write is
// reported (EReadError, EWriteError) and never leaves a partial file in place of the
// one being replaced.
void CopyFileTo(const std::string& source, const std::string& destination);

// Whether every bit of `mask` is set in the attribute word of `fileName`. A name that
// cannot be examined has no attributes (false).
bool FileHasAttributes(const std::string& fileName, std::uint16_t mask);

// The local date and time of the last write of `fileName`, to two seconds (rounded down);
// std::nullopt when the file does not exist.
std::optional<QDateTime> FileModificationDate(const std::string& fileName);

// Hands `target` (a web or "mailto:" address) to the desktop's default program. The
// outcome is not examined: a target that cannot be opened is not reported.
void ShellOpen(const std::string& target, const std::string& parameters,
               const std::string& directory, int showCommand);
inline constexpr int kSwShowNormal = 1;

// Replaces the desktop hand-over, for tests; an empty function restores it.
using ShellOpener = std::function<void(const std::string& target)>;
void SetShellOpenerForTesting(ShellOpener opener);

}  // namespace tavrilo
