// SPDX-License-Identifier: GPL-3.0-or-later
#include "macros/PlayerGame.h"

#include <utility>

#include "game/Filter.h"
#include "install/FilesBeside.h"

namespace tavrilo::macros {

PlayerGame::PlayerGame() {
  Read(game::Game::kQuake2, std::string(), {});
}

void PlayerGame::Read(game::Game game, const std::string& gamePath,
                      const game::SupportFiles& support,
                      const std::optional<std::string>& userFolder) {
  game_ = game;
  configuration_ = gamePath.empty() ? install::PlayerConfiguration{}
                                    : install::ReadPlayerConfiguration(game, gamePath, userFolder);
  session_.reset();
  session_.emplace(game, support);
  // exec in a start-up file runs a file of the folders looked in.
  const game::FilesBeside beside =
      install::FilesBesideInFolders(configuration_.folders, &configuration_.executed);
  for (install::StartupFile& file : configuration_.files) {
    session_->Run(file.bytes, file.path, beside);
    std::string().swap(file.bytes);
  }
  before_ = session_->Current();
  CheckList(StringList(), 0);
}

void PlayerGame::CheckList(const StringList& entries, std::size_t headerBytes,
                           const game::FilesBeside& beside) {
  // The old findings go first: a long list does not hold two sets of them at once.
  findings_ = {};
  after_ = {};
  game::ConsoleSession::ListOutcome outcome = session_->CheckList(entries, headerBytes, beside);
  findings_ = std::move(outcome.findings);
  after_ = std::move(outcome.after);
}

game::CheckResult PlayerGame::TakeCheckedList(const StringList& entries, std::size_t headerBytes,
                                              const game::FilesBeside& beside) {
  findings_ = {};
  after_ = {};
  game::ConsoleSession::ListOutcome outcome = session_->CheckList(entries, headerBytes, beside);
  after_ = std::move(outcome.after);
  return std::move(outcome.findings);
}

std::vector<game::KeyCap> PlayerGame::Keys(game::Layout layout,
                                           const game::CheckResult& findings) const {
  return game::LayOutKeys(game_, layout, before_, after_, findings);
}

std::vector<game::KeyCap> PlayerGame::Keys(game::Layout layout) const {
  return game::LayOutKeys(game_, layout, before_, after_, findings_);
}

std::vector<int> PlayerGame::Search(const StringList& entries, std::string_view needle) const {
  return game::FilterLines(entries, needle, game_);
}

std::vector<game::Finding> PlayerGame::FindingsOf(std::span<const int> kept) const {
  return game::FindingsOfLines(findings_, kept);
}

}  // namespace tavrilo::macros
