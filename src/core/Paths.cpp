// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Paths.h"

#include "core/Platform.h"

namespace tavrilo {

std::string ApplicationDirectory() {
  return platform::ApplicationDirectory();
}

std::string DirectoryPart(std::string_view path) {
  std::string_view::size_type slash = path.find_last_of(kFolderEnds);
  if (slash == std::string_view::npos) return {};
  return std::string(path.substr(0, slash + 1));
}

std::string FileNamePart(std::string_view path) {
  std::string_view::size_type slash = path.find_last_of(kFolderEnds);
  if (slash == std::string_view::npos) return std::string(path);
  return std::string(path.substr(slash + 1));
}

bool IsAbsolutePath(std::string_view path) {
  if (path.empty()) return false;
#ifdef _WIN32
  const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
  if (isSeparator(path[0])) return true;
  const bool drive = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
  return drive && path.size() >= 3 && path[1] == ':' && isSeparator(path[2]);
#else
  return path[0] == kPathSeparator;
#endif
}

std::string TitleFromExecutableName(std::string_view executablePath) {
  std::string title = FileNamePart(executablePath);
  title = title.substr(0, title.find('.'));
  for (std::size_t i = 1; i < title.size(); ++i) {
    if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
  }
  return title;
}

}  // namespace tavrilo
