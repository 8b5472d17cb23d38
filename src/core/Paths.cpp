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

std::string TitleFromExecutableName(std::string_view executablePath) {
  std::string title = FileNamePart(executablePath);
  title = title.substr(0, title.find('.'));
  for (std::size_t i = 1; i < title.size(); ++i) {
    if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
  }
  return title;
}

}  // namespace tavrilo
