// SPDX-License-Identifier: GPL-3.0-or-later
// The platform layer on Windows: wide-character calls of the system, with the program's
// Windows-1252 names converted at this boundary and nowhere else.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include "core/Ansi.h"
#include "core/Backup.h"
#include "core/Platform.h"
#include "core/PlatformWindows.h"

namespace tavrilo::platform {

namespace windows {

std::wstring WideFromAnsi(std::string_view ansi) {
  std::wstring wide;
  wide.reserve(ansi.size());
  for (char byte : ansi)
    wide += static_cast<wchar_t>(UnicodeOfAnsi(static_cast<unsigned char>(byte)));
  return wide;
}

std::optional<std::string> AnsiFromWide(std::wstring_view wide) {
  std::string ansi;
  ansi.reserve(wide.size());
  for (wchar_t c : wide) {
    const std::optional<unsigned char> byte = AnsiOfUnicode(static_cast<char16_t>(c));
    if (!byte) return std::nullopt;
    ansi += static_cast<char>(*byte);
  }
  return ansi;
}

}  // namespace windows

namespace {

using windows::AnsiFromWide;
using windows::WideFromAnsi;

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr int kNameAttempts = 100;
constexpr std::string_view kTemporaryPrefix = ".tavrilo-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::string_view kBackupSuffix = ".bak";
constexpr std::size_t kRandomLength = 8;
constexpr std::int64_t kAbandonedAfterSeconds = 10 * 60;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The system error of the last read or write of this thread that failed in the system
// (0: the failure came from elsewhere, such as a test's replacement, with errno only).
thread_local DWORD lastSystemError = 0;

ErrorCode LastError() {
  const DWORD error = ::GetLastError();
  return error != 0 ? static_cast<ErrorCode>(error) : static_cast<ErrorCode>(ERROR_GEN_FAILURE);
}

// The system error that an errno of the C runtime stands for.
ErrorCode ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    case ENOSPC:
      return ERROR_DISK_FULL;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    default:
      return ERROR_GEN_FAILURE;
  }
}

// The error of a failed read or write through a replaceable function.
ErrorCode FailedTransferError() {
  return lastSystemError != 0 ? static_cast<ErrorCode>(lastSystemError) : ErrorFromErrno(errno);
}

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

std::wstring WithSeparator(std::wstring folder) {
  if (!folder.empty() && !IsSeparator(folder.back()) && folder.back() != L':') folder += L'\\';
  return folder;
}

// The folder part of a wide name, with its separator ("" when it has none).
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t end = path.find_last_of(L"\\/:");
  return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

// The program's text for a name of the system: the name itself when Windows-1252 holds
// it, else its short (8.3) form, which is plain ASCII; std::nullopt when neither works.
std::optional<std::string> ProgramName(const std::wstring& name) {
  if (std::optional<std::string> ansi = AnsiFromWide(name)) return ansi;
  const DWORD size = ::GetShortPathNameW(name.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring shortName(size, L'\0');
  const DWORD length = ::GetShortPathNameW(name.c_str(), shortName.data(), size);
  if (length == 0 || length >= size) return std::nullopt;
  shortName.resize(length);
  return AnsiFromWide(shortName);
}

std::optional<std::wstring> Environment(const wchar_t* name) {
  const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(name, value.data(), size);
  if (length == 0 || length >= size) return std::nullopt;
  value.resize(length);
  return value;
}

std::string FolderText(const std::wstring& folder) {
  return ProgramName(WithSeparator(folder)).value_or(std::string());
}

// Seconds since 1970 of a file time (100 ns since 1601), rounded down.
std::int64_t UnixSeconds(const FILETIME& time) {
  constexpr std::int64_t kTicksPerSecond = 10'000'000;
  constexpr std::int64_t kEpochTicks = 116'444'736'000'000'000;
  const std::int64_t ticks =
      static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                time.dwLowDateTime) -
      kEpochTicks;
  return ticks >= 0 ? ticks / kTicksPerSecond : -((-ticks + kTicksPerSecond - 1) / kTicksPerSecond);
}

std::uint64_t SizeOf(DWORD high, DWORD low) {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() { Reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  void Reset() {
    if (Valid()) ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// Opens what `path` names, links followed, folders too, for `access`.
HANDLE OpenExisting(const std::wstring& path, DWORD access) {
  return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::optional<FileStatus> StatusOfHandle(HANDLE handle) {
  FileStatus status;
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(handle) != FILE_TYPE_DISK) return status;  // a device, a pipe: kOther
  if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
  status.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kDirectory
                                                                        : FileKind::kRegular;
  status.size = SizeOf(info.nFileSizeHigh, info.nFileSizeLow);
  status.modified = UnixSeconds(info.ftLastWriteTime);
  status.device = info.dwVolumeSerialNumber;
  status.index = SizeOf(info.nFileIndexHigh, info.nFileIndexLow);
  status.links = info.nNumberOfLinks;
  return status;
}

// The name the system gives the file open as `handle`: drive letter or \\server\share,
// links resolved.
std::optional<std::wstring> FinalName(HANDLE handle) {
  const DWORD size = ::GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED);
  if (size == 0) return std::nullopt;
  std::wstring name(size, L'\0');
  const DWORD length = ::GetFinalPathNameByHandleW(handle, name.data(), size, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= size) return std::nullopt;
  name.resize(length);
  if (name.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + name.substr(8);
  if (name.starts_with(L"\\\\?\\")) return name.substr(4);
  return name;
}

std::optional<std::wstring> FullName(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return std::nullopt;
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return std::nullopt;
  full.resize(length);
  return full;
}

// An existing file or folder's name with every link resolved.
std::optional<std::wstring> ExistingFinalName(const std::wstring& path) {
  const Handle handle(OpenExisting(path, 0));
  if (!handle.Valid()) return std::nullopt;
  return FinalName(handle.Get());
}

std::string TemporaryName(std::string_view suffix = kTemporarySuffix) {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name(kTemporaryPrefix);
  name += std::to_string(::GetCurrentProcessId());
  name += '-';
  for (std::size_t i = 0; i < kRandomLength; ++i)
    name += kLetters[generator() % (sizeof kLetters - 1)];
  name += suffix;
  return name;
}

bool IsRandomPart(std::string_view text) {
  return text.size() == kRandomLength && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
         });
}

// The process that wrote a temporary file of this program, from its name
// ".tavrilo-<pid>-<8 letters>.tmp" (0: ".tavrilo-<8 letters>.tmp" does not tell);
// std::nullopt for any other name.
std::optional<unsigned long long> WriterOfTemporary(std::string_view name,
                                                    std::string_view suffix = kTemporarySuffix) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(suffix)) return std::nullopt;
  name.remove_prefix(kTemporaryPrefix.size());
  name.remove_suffix(suffix.size());
  if (IsRandomPart(name)) return 0;
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash > 10 || !IsRandomPart(name.substr(dash + 1))) return std::nullopt;
  unsigned long long pid = 0;
  for (char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return std::nullopt;
    pid = pid * 10 + static_cast<unsigned>(c - '0');
  }
  return pid;
}

bool HasEnded(unsigned long long pid) {
  if (pid == 0) return false;
  if (pid > ULONG_MAX) return true;
  const Handle process(
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
  if (process.Get() == nullptr) {
    const bool gone = ::GetLastError() == ERROR_INVALID_PARAMETER;
    return gone;
  }
  DWORD exitCode = 0;
  return ::GetExitCodeProcess(process.Get(), &exitCode) && exitCode != STILL_ACTIVE;
}

// Writes all of `data` to the descriptor `fd` through `write`.
ErrorCode WriteAll(WriteFunction write, int fd, const char* data, std::size_t size) {
  while (size > 0) {
    lastSystemError = 0;
    errno = 0;
    const std::ptrdiff_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? FailedTransferError() : static_cast<ErrorCode>(ERROR_WRITE_FAULT);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return kNoError;
}

bool SetSize(HANDLE handle, std::uint64_t size) {
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(size);
  return ::SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle);
}

bool Rewind(HANDLE handle) {
  LARGE_INTEGER start{};
  return ::SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) != 0;
}

// Reads the rest of the file open as `handle`.
bool ReadRest(HANDLE handle, std::string& bytes) {
  char chunk[64 * 1024];
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(handle, chunk, sizeof chunk, &n, nullptr)) return false;
    if (n == 0) return true;
    bytes.append(chunk, n);
  }
}

}  // namespace

// ---- the steps of putting a save in place ----------------------------------------

namespace windows {

bool SystemReplace(const std::wstring& target, const std::wstring& replacement) {
  // The old file goes to a backup name first: should the system fail half-way (the new
  // file could not take the name), the old one is put back from there.
  const std::wstring backup = FolderOf(target) + WideFromAnsi(TemporaryName());
  if (::ReplaceFileW(target.c_str(), replacement.c_str(), backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    ::DeleteFileW(backup.c_str());
    return true;
  }
  const DWORD error = ::GetLastError();
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
    ::MoveFileExW(backup.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  ::SetLastError(error);
  return false;
}

bool SystemMove(const std::wstring& target, const std::wstring& replacement) {
  return ::MoveFileExW(replacement.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

namespace {
PlaceFunction replaceStep = SystemReplace;
PlaceFunction moveStep = SystemMove;
}  // namespace

void SetPlaceFunctions(PlaceFunction replace, PlaceFunction move) {
  replaceStep = replace != nullptr ? replace : SystemReplace;
  moveStep = move != nullptr ? move : SystemMove;
}

}  // namespace windows

// ---- the program's arguments and its console ----------------------------------------

namespace windows {

std::optional<std::vector<std::string>> ProgramArguments(std::size_t& refused) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  refused = 0;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    std::optional<std::string> argument = AnsiFromWide(wide[i]);
    if (!argument) {
      refused = static_cast<std::size_t>(i);
      break;
    }
    arguments.push_back(std::move(*argument));
  }
  ::LocalFree(wide);
  if (refused != 0) return std::nullopt;
  return arguments;
}

unsigned int UseUtf8Console() {
  const UINT previous = ::GetConsoleOutputCP();
  if (previous == 0 || !::SetConsoleOutputCP(CP_UTF8)) return 0;
  return previous;
}

void RestoreConsole(unsigned int previous) {
  if (previous != 0) ::SetConsoleOutputCP(previous);
}

}  // namespace windows

// ---- errors ----------------------------------------------------------------------

int TableCodeFor(ErrorCode error, const std::string& /*path*/) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return 2;
    case ERROR_PATH_NOT_FOUND:
      return 3;
    case ERROR_TOO_MANY_OPEN_FILES:
      return 4;
    case ERROR_ACCESS_DENIED:
    case kNotRegularFile:
      return 5;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return 101;
    default:
      return 0;
  }
}

bool IsNotFound(ErrorCode error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

Text ReasonOf(ErrorCode error) {
  const auto key = [&]() -> const char* {
    switch (error) {
      case kNotRegularFile:
        return "Reason.NotRegularFile";
      case kFileTooBig:
        return "Reason.TooBig";
      case kOutOfMemory:
        return "Reason.OutOfMemory";
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
        return "Reason.NotFound";
      case ERROR_DIRECTORY:
        return "Reason.IsADirectory";
      case ERROR_ACCESS_DENIED:
        return "Reason.PermissionDenied";
      case ERROR_FILENAME_EXCED_RANGE:
        return "Reason.NameTooLong";
      case ERROR_CANT_RESOLVE_FILENAME:
        return "Reason.LinkLoop";
      case ERROR_TOO_MANY_OPEN_FILES:
        return "Reason.TooManyOpenFiles";
      case ERROR_DISK_FULL:
      case ERROR_HANDLE_DISK_FULL:
        return "Reason.DiskFull";
      case ERROR_WRITE_PROTECT:
        return "Reason.ReadOnly";
      default:
        return nullptr;
    }
  }();
  if (key != nullptr) return Text{key, {}};
  if (error <= 0) return Text{"Reason.System", {std::to_string(error)}};
  // The system's message in English where it has one, in characters Windows-1252 holds.
  wchar_t* message = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
      reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::wstring wide = length > 0 && message != nullptr ? std::wstring(message, length) : L"";
  if (message != nullptr) ::LocalFree(message);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.' ||
                           wide.back() == L' '))
    wide.pop_back();
  std::optional<std::string> text = AnsiFromWide(wide);
  if (!text || text->empty()) text = "error " + std::to_string(error);
  return Text{"Reason.System", {*text}};
}

Reason ClassifyError(ErrorCode error, const std::string& /*path*/) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return Reason::kNotFound;
    case ERROR_PATH_NOT_FOUND:
      return Reason::kFolderNotFound;
    case ERROR_TOO_MANY_OPEN_FILES:
      return Reason::kTooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Reason::kAccessDenied;
    case ERROR_WRITE_PROTECT:
      return Reason::kReadOnly;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Reason::kDiskFull;
    case ERROR_FILENAME_EXCED_RANGE:
      return Reason::kNameTooLong;
    case ERROR_CANT_RESOLVE_FILENAME:
      return Reason::kLinkLoop;
    case ERROR_DIRECTORY:
      return Reason::kIsDirectory;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
      return Reason::kInputOutput;
    default:
      return Reason::kOther;
  }
}

std::string SystemMessage(ErrorCode error) {
  if (error <= 0) return std::string();
  wchar_t* words = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
  std::wstring text(words != nullptr ? words : L"", length);
  if (words != nullptr) ::LocalFree(words);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L'.'))
    text.pop_back();
  return AnsiFromWide(text).value_or(std::string());
}

// ---- low-level reads and writes ------------------------------------------------------

namespace {

// The system's handle of `fd` (errno EBADF when there is none), and how much of `size` one
// call reads or writes.
HANDLE HandleOf(int fd) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) errno = EBADF;
  return handle;
}

DWORD OneCall(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
}

}  // namespace

std::ptrdiff_t SystemRead(int fd, void* data, std::size_t size) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  DWORD n = 0;
  const DWORD wanted = OneCall(size);
  if (!::ReadFile(handle, data, wanted, &n, nullptr)) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE) return 0;
    lastSystemError = error;
    errno = EIO;
    return -1;
  }
  return static_cast<std::ptrdiff_t>(n);
}

std::ptrdiff_t SystemWrite(int fd, const void* data, std::size_t size) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  DWORD n = 0;
  const DWORD wanted = OneCall(size);
  if (!::WriteFile(handle, data, wanted, &n, nullptr)) {
    lastSystemError = ::GetLastError();
    errno = lastSystemError == ERROR_DISK_FULL || lastSystemError == ERROR_HANDLE_DISK_FULL ? ENOSPC
                                                                                            : EIO;
    return -1;
  }
  return static_cast<std::ptrdiff_t>(n);
}

// ---- reading --------------------------------------------------------------------------

InputFile::~InputFile() {
  Close();
}

ErrorCode InputFile::Open(const std::string& path, Streams streams) {
  Close();
  Handle handle(OpenExisting(WideFromAnsi(path), GENERIC_READ));
  if (!handle.Valid()) return LastError();
  BY_HANDLE_FILE_INFORMATION info{};
  const DWORD type = ::GetFileType(handle.Get());
  // A pipe or a character device (CON, NUL) is read to its end when streams are read;
  // otherwise it is refused before anything is read, as a folder always is.
  const bool stream =
      streams == Streams::kRead && (type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR);
  if (!stream) {
    if (type != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle.Get(), &info))
      return kNotRegularFile;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return streams == Streams::kRead ? static_cast<ErrorCode>(ERROR_DIRECTORY) : kNotRegularFile;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle.Get()), _O_RDONLY | _O_BINARY);
  if (fd < 0) return ERROR_TOO_MANY_OPEN_FILES;
  handle.Release();  // the descriptor owns it now
  fd_ = fd;
  size_ = stream ? 0 : SizeOf(info.nFileSizeHigh, info.nFileSizeLow);
  return kNoError;
}

ErrorCode InputFile::OpenStandardInput() {
  Close();
  const int fd = ::_dup(0);
  if (fd < 0) return ERROR_INVALID_HANDLE;
  // Byte for byte, as a file is read: no CR LF turned into LF, no end at a 0x1A byte.
  ::_setmode(fd, _O_BINARY);
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info)) {
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      ::_close(fd);
      return ERROR_DIRECTORY;
    }
    size_ = SizeOf(info.nFileSizeHigh, info.nFileSizeLow);
  }
  fd_ = fd;
  return kNoError;
}

std::ptrdiff_t InputFile::Read(void* data, std::size_t size, ErrorCode& error, ReadFunction read) {
  if (read == nullptr) read = SystemRead;
  for (;;) {
    lastSystemError = 0;
    errno = 0;
    const std::ptrdiff_t n = read(fd_, data, size);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    error = FailedTransferError();
    return -1;
  }
}

ErrorCode InputFile::Seek(std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return ERROR_NEGATIVE_SEEK;
  if (::_lseeki64(fd_, static_cast<__int64>(offset), SEEK_SET) < 0) return ERROR_SEEK;
  return kNoError;
}

void InputFile::Close() {
  if (fd_ >= 0) ::_close(fd_);
  fd_ = -1;
  size_ = 0;
}

// ---- status and folders ------------------------------------------------------------------

LocalDateTime ToLocalDateTime(std::int64_t secondsSinceEpoch) {
  constexpr std::int64_t kTicksPerSecond = 10'000'000;
  constexpr std::int64_t kEpochTicks = 116'444'736'000'000'000;
  const auto ticks = static_cast<std::uint64_t>(secondsSinceEpoch * kTicksPerSecond + kEpochTicks);
  FILETIME time{};
  time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  ::FileTimeToSystemTime(&time, &utc);
  if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
  return LocalDateTime{local.wYear, local.wMonth,  local.wDay,
                       local.wHour, local.wMinute, local.wSecond};
}

std::optional<FileStatus> Status(const std::string& path) {
  const Handle handle(OpenExisting(WideFromAnsi(path), FILE_READ_ATTRIBUTES));
  if (!handle.Valid()) return std::nullopt;
  return StatusOfHandle(handle.Get());
}

std::optional<FileStatus> LinkStatus(const std::string& path) {
  const std::wstring wide = WideFromAnsi(path);
  WIN32_FIND_DATAW found{};
  const HANDLE search = path.find_first_of("*?") == std::string::npos
                            ? ::FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found,
                                                 FindExSearchNameMatch, nullptr, 0)
                            : INVALID_HANDLE_VALUE;
  if (search == INVALID_HANDLE_VALUE) return Status(path);  // a drive's root, a device
  ::FindClose(search);
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
      (found.dwReserved0 != IO_REPARSE_TAG_SYMLINK &&
       found.dwReserved0 != IO_REPARSE_TAG_MOUNT_POINT)) {
    return Status(path);
  }
  FileStatus status;
  status.kind = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kDirectory
                                                                         : FileKind::kRegular;
  status.modified = UnixSeconds(found.ftLastWriteTime);
  status.symbolicLink = true;
  return status;
}

std::optional<std::string> ResolvedPath(const std::string& path) {
  std::optional<std::wstring> full = FullName(WideFromAnsi(path));
  if (!full) return std::nullopt;
  const bool trailing = IsSeparator(full->back());
  std::wstring name = *full;
  while (name.size() > 3 && IsSeparator(name.back()))
    name.pop_back();
  std::optional<std::wstring> resolved = ExistingFinalName(name);
  if (!resolved) {
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    const std::wstring folder = FolderOf(name);
    if (attributes != INVALID_FILE_ATTRIBUTES || folder.empty() || folder == name) {
      if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
      resolved = name;  // exists but cannot be opened (a dangling link): as it is named
    } else {
      std::optional<std::wstring> resolvedFolder = ExistingFinalName(folder);
      if (!resolvedFolder) return std::nullopt;
      resolved = WithSeparator(*resolvedFolder) + name.substr(folder.size());
    }
  }
  if (trailing) *resolved = WithSeparator(*resolved);
  return AnsiFromWide(*resolved);
}

std::optional<std::string> ReadLink(const std::string& path) {
  // What a link points to, as the system resolves it: a full name with its drive letter.
  const std::optional<FileStatus> link = LinkStatus(path);
  if (!link || !link->symbolicLink) return std::nullopt;
  const std::optional<std::wstring> target = ExistingFinalName(WideFromAnsi(path));
  if (!target) return std::nullopt;
  return AnsiFromWide(*target);
}

std::optional<std::vector<DirectoryEntry>> ListDirectory(const std::string& folder) {
  const std::wstring wideFolder = WithSeparator(WideFromAnsi(folder));
  const std::wstring pattern = wideFolder + L"*";
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  std::vector<DirectoryEntry> entries;
  if (search == INVALID_HANDLE_VALUE) {
    // An empty drive's root has not even "." and "..".
    const std::optional<FileStatus> status = Status(folder.empty() ? "." : folder);
    if (::GetLastError() == ERROR_FILE_NOT_FOUND && status && status->kind == FileKind::kDirectory)
      return entries;
    return std::nullopt;
  }
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    std::optional<std::string> ansi = AnsiFromWide(name);
    if (!ansi) continue;  // a name the program cannot hold is no file of its own
    DirectoryEntry entry{std::move(*ansi),
                         (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      const std::optional<FileStatus> target = Status(folder + entry.name);
      entry.directory = target && target->kind == FileKind::kDirectory;
    }
    entries.push_back(std::move(entry));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return entries;
}

bool CreateDirectories(const std::string& folder) {
  std::error_code error;
  const std::filesystem::path path(WideFromAnsi(folder));
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

bool IsWritableDirectory(const std::string& folder) {
  // The folder's own attributes say nothing (a read-only folder still takes new files):
  // only a file made there tells.
  const std::wstring probe =
      WithSeparator(WideFromAnsi(folder.empty() ? std::string(".") : folder)) +
      WideFromAnsi(TemporaryName());
  const Handle handle(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return handle.Valid();
}

bool IsWritableFile(const std::string& path) {
  const std::wstring wide = WideFromAnsi(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0 ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  const Handle handle(::CreateFileW(wide.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  return handle.Valid();
}

// ---- the safe save -----------------------------------------------------------------------

struct FileSave::State {
  std::wstring target;
  std::wstring temporary;  // the new file beside the target, while it exists
  WriteFunction write = SystemWrite;
  int fd = -1;  // the temporary file
  bool exists = false;
  DWORD attributes = 0;  // of the existing target
  bool inPlace = false;
  std::string buffer;  // not yet written (in place: the whole new text)
  windows::PlaceFunction replace = windows::SystemReplace;
  windows::PlaceFunction move = windows::SystemMove;

  void Discard() {
    if (fd >= 0) ::_close(fd);
    fd = -1;
    if (!temporary.empty()) ::DeleteFileW(temporary.c_str());
    temporary.clear();
  }

  // Makes the temporary file; kNoError, or the folder's refusal.
  ErrorCode OpenTemporary() {
    const std::wstring folder = FolderOf(target);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      std::wstring name = folder + WideFromAnsi(TemporaryName());
      Handle handle(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!handle.Valid()) {
        const ErrorCode error = LastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
        return error;
      }
      temporary = std::move(name);
      fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle.Get()), _O_RDWR | _O_BINARY);
      if (fd < 0) {
        handle.Reset();
        Discard();
        return ERROR_TOO_MANY_OPEN_FILES;
      }
      handle.Release();
      return kNoError;
    }
    return ERROR_FILE_EXISTS;
  }

  HANDLE TemporaryHandle() const { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

  // Writes `text` over the target itself. The new size is taken before a byte of the old
  // text is overwritten, so that a full disk stops the save with the old text whole; any
  // later failure writes the old text back.
  FileSave::Step WriteInPlace(const std::string& text, ErrorCode& error) {
    Handle handle(::CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid()) {
      error = LastError();
      return FileSave::Step::kPlaceFailed;
    }
    if (::GetFileType(handle.Get()) != FILE_TYPE_DISK) {
      error = kNotRegularFile;
      return FileSave::Step::kPlaceFailed;
    }
    std::string old;
    if (!ReadRest(handle.Get(), old)) {
      error = LastError();
      return FileSave::Step::kWriteFailed;
    }
    std::optional<FileStatus> status = StatusOfHandle(handle.Get());
    std::wstring backup;
    error = status ? MakeBackup(EncodeBackup(AnsiFromWide(target).value_or(std::string()), *status,
                                             old, text),
                                backup)
                   : LastError();
    if (error != kNoError) return FileSave::Step::kWriteFailed;
    if (text.size() > old.size() && !SetSize(handle.Get(), text.size())) {
      error = LastError();
      SetSize(handle.Get(), old.size());
      ::DeleteFileW(backup.c_str());
      return FileSave::Step::kWriteFailed;
    }
    const int inPlaceFd =
        ::_open_osfhandle(reinterpret_cast<intptr_t>(handle.Get()), _O_RDWR | _O_BINARY);
    if (inPlaceFd < 0) {
      error = ERROR_TOO_MANY_OPEN_FILES;
      SetSize(handle.Get(), old.size());
      ::DeleteFileW(backup.c_str());
      return FileSave::Step::kWriteFailed;
    }
    const HANDLE raw = handle.Release();  // the descriptor owns it now
    error = Rewind(raw) ? WriteAll(write, inPlaceFd, text.data(), text.size()) : LastError();
    if (error == kNoError && (!SetSize(raw, text.size()) || !::FlushFileBuffers(raw)))
      error = LastError();
    bool whole = error == kNoError;
    if (!whole) {
      DWORD written = 0;
      whole = Rewind(raw) &&
              ::WriteFile(raw, old.data(), static_cast<DWORD>(old.size()), &written, nullptr) &&
              written == old.size() && SetSize(raw, old.size()) && ::FlushFileBuffers(raw);
    }
    ::_close(inPlaceFd);
    // The backup stays only when the old text could not be put back: the user restores it.
    if (whole) ::DeleteFileW(backup.c_str());
    return error == kNoError ? FileSave::Step::kDone : FileSave::Step::kWriteFailed;
  }

  // Writes `content` as a backup of the target: beside it, or in the settings folder when
  // its folder refuses new files. Through the save's own write, so that a full disk stops
  // the save before the file is touched. kNoBackup when it can be written nowhere.
  ErrorCode MakeBackup(const std::string& content, std::wstring& backup) {
    std::vector<std::wstring> folders = {FolderOf(target)};
    const std::wstring settings = WideFromAnsi(BackupFolder());
    if (settings != folders.front()) folders.push_back(settings);
    for (const std::wstring& folder : folders) {
      if (folder == settings && !CreateDirectories(BackupFolder())) continue;
      const std::wstring name = folder + WideFromAnsi(TemporaryName());
      Handle handle(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!handle.Valid()) continue;
      const int backupFd =
          ::_open_osfhandle(reinterpret_cast<intptr_t>(handle.Get()), _O_WRONLY | _O_BINARY);
      if (backupFd < 0) {
        handle.Reset();
        ::DeleteFileW(name.c_str());
        continue;
      }
      const HANDLE raw = handle.Release();
      ErrorCode error = WriteAll(write, backupFd, content.data(), content.size());
      if (error == kNoError && !::FlushFileBuffers(raw)) error = LastError();
      ::_close(backupFd);
      std::wstring complete =
          name.substr(0, name.size() - kTemporarySuffix.size()) + WideFromAnsi(kBackupSuffix);
      if (error == kNoError &&
          ::MoveFileExW(name.c_str(), complete.c_str(), MOVEFILE_WRITE_THROUGH)) {
        backup = std::move(complete);
        return kNoError;
      }
      if (error == kNoError) error = LastError();
      ::DeleteFileW(name.c_str());
      if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) return error;
    }
    return kNoBackup;
  }

  // Puts the complete, synced and closed temporary file in the target's place.
  FileSave::Step PutInPlace(ErrorCode& error) {
    // The new file takes the old one's attributes first: a rename keeps the new file's
    // own, and not every system's replace gives it the old ones (Wine's does not).
    constexpr DWORD kKept = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (exists && (attributes & kKept) != 0)
      ::SetFileAttributesW(temporary.c_str(), attributes & kKept);
    if (exists && replace(target, temporary)) {
      temporary.clear();
      return FileSave::Step::kDone;
    }
    if (move(target, temporary)) {
      temporary.clear();
      return FileSave::Step::kDone;
    }
    error = LastError();
    // Neither way could put the new file in place: its text goes over the old one.
    std::string text;
    const Handle copy(OpenExisting(temporary, GENERIC_READ));
    if (!copy.Valid() || !ReadRest(copy.Get(), text)) {
      error = LastError();
      return FileSave::Step::kPlaceFailed;
    }
    const FileSave::Step step = WriteInPlace(text, error);
    if (step == FileSave::Step::kDone) Discard();
    return step;
  }
};

FileSave::FileSave() : state_(std::make_unique<State>()) {}

FileSave::~FileSave() {
  state_->Discard();
}

ErrorCode FileSave::Begin(const std::string& path, WriteFunction write) {
  state_->Discard();
  *state_ = State{};
  state_->write = write != nullptr ? write : SystemWrite;
  state_->replace = windows::replaceStep;
  state_->move = windows::moveStep;

  std::wstring target = WideFromAnsi(path);
  // A link is followed to the file it names; a dangling one is written through.
  if (const std::optional<FileStatus> link = LinkStatus(path); link && link->symbolicLink) {
    if (std::optional<std::wstring> resolved = ExistingFinalName(target)) {
      target = std::move(*resolved);
    } else {
      state_->inPlace = true;
    }
  }
  state_->target = target;

  const Handle handle(OpenExisting(target, FILE_READ_ATTRIBUTES));
  if (handle.Valid()) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handle.Get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(handle.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return kNotRegularFile;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) return ERROR_ACCESS_DENIED;
    const Handle writable(::CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writable.Valid()) return LastError();
    state_->exists = true;
    state_->attributes = info.dwFileAttributes;
    // A file of several names: a replacement would leave the other names the old text.
    if (info.nNumberOfLinks > 1) state_->inPlace = true;
  } else {
    const ErrorCode error = LastError();
    if (error != ERROR_FILE_NOT_FOUND) return error;
    // A name longer than any file system takes is refused now, before a byte is written.
    constexpr std::size_t kLongestName = 255;
    if (target.size() - FolderOf(target).size() > kLongestName) return ERROR_FILENAME_EXCED_RANGE;
  }

  const std::optional<std::string> folder = AnsiFromWide(FolderOf(target));
  if (folder) CleanFolder(*folder);
  if (!state_->inPlace) {
    const ErrorCode error = state_->OpenTemporary();
    if (error != kNoError) {
      // A folder that takes no new file: an existing file is written in place.
      if (!state_->exists || error != ERROR_ACCESS_DENIED) return error;
      state_->inPlace = true;
    }
  }
  state_->buffer.reserve(kBufferSize);
  return kNoError;
}

ErrorCode FileSave::Write(const char* data, std::size_t size) {
  State& s = *state_;
  if (s.inPlace) {
    s.buffer.append(data, size);
    return kNoError;
  }
  if (s.fd < 0) return ERROR_INVALID_HANDLE;
  if (s.buffer.size() + size > kBufferSize) {
    if (const ErrorCode error = WriteAll(s.write, s.fd, s.buffer.data(), s.buffer.size()))
      return error;
    s.buffer.clear();
    if (size >= kBufferSize) return WriteAll(s.write, s.fd, data, size);
  }
  s.buffer.append(data, size);
  return kNoError;
}

FileSave::Step FileSave::Commit(ErrorCode& error) {
  State& s = *state_;
  error = kNoError;
  if (s.inPlace) return s.WriteInPlace(s.buffer, error);
  if (s.fd < 0) {
    error = ERROR_INVALID_HANDLE;
    return Step::kWriteFailed;
  }
  error = WriteAll(s.write, s.fd, s.buffer.data(), s.buffer.size());
  s.buffer.clear();
  if (error == kNoError && !::FlushFileBuffers(s.TemporaryHandle())) error = LastError();
  if (error != kNoError) {
    s.Discard();
    return Step::kWriteFailed;
  }
  ::_close(std::exchange(s.fd, -1));
  const Step step = s.PutInPlace(error);
  if (step != Step::kDone) s.Discard();
  return step;
}

bool FileSave::InPlace() const {
  return state_->inPlace;
}

void CleanFolder(const std::string& folder) {
  const std::optional<std::vector<DirectoryEntry>> entries = ListDirectory(folder);
  if (!entries) return;
  const std::string prefix =
      folder.empty() || folder.back() == '\\' || folder.back() == '/' || folder.back() == ':'
          ? folder
          : folder + '\\';
  const auto now = static_cast<std::int64_t>(std::time(nullptr));
  for (const DirectoryEntry& entry : *entries) {
    const std::optional<unsigned long long> writer = WriterOfTemporary(entry.name);
    if (!writer || entry.directory) continue;
    const std::optional<FileStatus> status = LinkStatus(prefix + entry.name);
    if (!status || status->kind != FileKind::kRegular || status->symbolicLink) continue;
    // A temporary file still being written is open without sharing: it cannot go.
    if (now - status->modified >= kAbandonedAfterSeconds || HasEnded(*writer))
      ::DeleteFileW(WideFromAnsi(prefix + entry.name).c_str());
  }
}

std::vector<std::string> LeftBackups(const std::string& folder) {
  std::vector<std::string> backups;
  const std::optional<std::vector<DirectoryEntry>> entries = ListDirectory(folder);
  if (!entries) return backups;
  const std::string prefix =
      folder.empty() || folder.back() == '\\' || folder.back() == '/' || folder.back() == ':'
          ? folder
          : folder + '\\';
  for (const DirectoryEntry& entry : *entries) {
    const std::optional<unsigned long long> writer = WriterOfTemporary(entry.name, kBackupSuffix);
    if (!writer || entry.directory || !HasEnded(*writer)) continue;
    const std::optional<FileStatus> status = LinkStatus(prefix + entry.name);
    if (status && status->kind == FileKind::kRegular && !status->symbolicLink)
      backups.push_back(prefix + entry.name);
  }
  return backups;
}

std::string BackupFolder() {
  return UserConfigFolder() + "tavrilo\\";
}

bool RemoveFile(const std::string& path) {
  return ::DeleteFileW(WideFromAnsi(path).c_str()) != 0;
}

// ---- places ---------------------------------------------------------------------------------

std::string ApplicationDirectory() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return FolderText(L".");
    if (length < name.size()) {
      name.resize(length);
      break;
    }
    name.resize(name.size() * 2);
  }
  return FolderText(FolderOf(name));
}

std::string HomeFolder() {
  if (std::optional<std::wstring> profile = Environment(L"USERPROFILE"))
    return FolderText(*profile);
  std::optional<std::wstring> drive = Environment(L"HOMEDRIVE");
  std::optional<std::wstring> path = Environment(L"HOMEPATH");
  if (drive && path) return FolderText(*drive + *path);
  return "C:\\";
}

std::string UserDataFolder() {
  wchar_t documents[MAX_PATH] = {};
  if (SUCCEEDED(
          ::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)))
    return FolderText(documents);
  return HomeFolder() + "Documents\\";
}

std::string UserConfigFolder() {
  if (std::optional<std::wstring> appData = Environment(L"APPDATA")) return FolderText(*appData);
  return HomeFolder() + "AppData\\Roaming\\";
}

std::optional<int> OutputTerminalColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &info)) return std::nullopt;
  const int columns = info.srWindow.Right - info.srWindow.Left + 1;
  return columns > 0 ? std::optional<int>(columns) : std::nullopt;
}

namespace {

// `arg` as one argument of a command line that the C runtime reads back as it is: between
// double quotes, a quote escaped, the backslashes before a quote or the end doubled.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
  line += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, L'\\');
  line += L'"';
}

}  // namespace

ErrorCode ReplaceProcess(const std::string& path, const std::vector<std::string>& args) {
  std::wstring line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += L' ';
    AppendQuoted(line, WideFromAnsi(arg));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(WideFromAnsi(path).c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process))
    return LastError();
  ::CloseHandle(process.hThread);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hProcess);
  ::ExitProcess(status);
}

// ---- memory ----------------------------------------------------------------------

void ReleaseLargeBlocksAtOnce() {
  // The system's heap already gives large blocks back when they are freed.
}

}  // namespace tavrilo::platform
