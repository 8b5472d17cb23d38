// SPDX-License-Identifier: GPL-3.0-or-later
// The errors of the system. Each carries exactly the message the user sees;
// the error box (ui/) adds only the caption and the final full stop.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tavrilo {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An input/output error of the text-file layer. The message is chosen by the code:
// 2, 3, 4, 5, 100, 101 and 106 have their own texts, any other code N reads "I/O error N".
class InputOutputError : public Error {
 public:
  explicit InputOutputError(int code);
  // An operating-system error that the table does not map: "I/O error N" with the
  // system's number N, also where N equals one of the table's codes (EIO is 5).
  static InputOutputError Unmapped(int osError);
  int Code() const { return code_; }
  static std::string MessageFor(int code);

  static constexpr int kFileNotFound = 2;
  static constexpr int kPathNotFound = 3;
  static constexpr int kTooManyOpenFiles = 4;
  static constexpr int kAccessDenied = 5;
  static constexpr int kReadBeyondEnd = 100;
  static constexpr int kDiskFull = 101;
  static constexpr int kInvalidNumericInput = 106;

 private:
  InputOutputError(int code, const std::string& message);

  int code_;
};

// "Cannot open file %s": a file to be read cannot be opened.
class FileOpenError : public Error {
 public:
  explicit FileOpenError(std::string_view path);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// "Cannot create file %s": a file to be written cannot be created or put in place.
class FileCreateError : public Error {
 public:
  explicit FileCreateError(std::string_view path);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// "Stream write error": a file could not be written completely.
class FileWriteError : public Error {
 public:
  FileWriteError();
};

// "Stream read error": a file being copied could not be read completely.
class FileReadError : public Error {
 public:
  FileReadError();
};

// "Unable to write to %s": an INI value could not be written.
class SettingWriteError : public Error {
 public:
  explicit SettingWriteError(std::string_view iniPath);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A list cannot take another entry ("Unable to insert a line"), or a position
// outside the list was read ("List index out of bounds (%d)").
class ListIndexError : public Error {
 public:
  using Error::Error;
  static ListIndexError InsertFailed();
  static ListIndexError IndexOutOfBounds(long long index);
};

// The text the error box shows for a message: a "." is appended when the message is
// not empty and its last byte is greater than ".".
std::string ErrorBoxText(std::string_view message);

// The input/output error for an error of the platform layer (core/Platform.h) on `path`:
// a missing file is 2 and a missing directory on the way 3 (told apart by looking at the
// parent), too many open files 4, access refused 5 (also anything but a regular file
// where one is read), a full disk 101; any other error is InputOutputError::Unmapped, "I/O
// error N" with the system's number.
InputOutputError InOutErrorFor(int osError, const std::string& path);

}  // namespace tavrilo
