// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/CommandTranslation.h"

#include <utility>

namespace tavrilo::macros {

namespace {

// A catalogue command and the token line composition recognises; the first equal row
// wins. The two wordings of the user-defined function both give "User".
constexpr std::pair<std::string_view, std::string_view> kCommandRows[] = {
    {"Zoom", "zoom"},
    {"Free Look", "Free-Look"},
    {"Cycle-Hand", "Cycle-Hand"},
    {"Cycle-Wave", "Cycle-Wave"},
    {"Cycle-Crosshair", "Cycle-Crosshair"},
    {"CycleWeap", "CycleWeap"},
    {"NextPowerUp", "NextPowerUp"},
    {"UsePowerUp", "UsePowerUp"},
    {"QuickMapMode", "QuickMapMode"},
    {"QuickGrenades", "+QuickGrenades"},
    {"D\xE9"
     "fini par l'utilisateur",
     "User"},
    {"User defined", "User"},
};

}  // namespace

std::string TranslateCommand(std::string_view catalogueCommand) {
  if (catalogueCommand.empty()) return std::string(kDefaultCommand);
  for (const auto& [command, token] : kCommandRows) {
    if (catalogueCommand == command) return std::string(token);
  }
  return std::string(catalogueCommand);
}

}  // namespace tavrilo::macros
