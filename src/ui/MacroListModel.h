// The macro list as a Qt item model, so that the list of macros stays responsive with a
// million entries (the view asks only for the rows it shows). The model owns the list
// operations of the window: each changes the document, tells the diagnostics what the
// game will make of the list, and tells the views what changed, so that no handler can
// change the list behind the views' back.
#pragma once

#include <QAbstractListModel>

#include <string_view>

#include "core/Paths.h"
#include "game/Diagnostics.h"
#include "macros/MacroDocument.h"

namespace tavrilo::ui {

class MacroListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  MacroListModel(macros::MacroDocument& document, game::Game game, game::SupportFiles supportFiles,
                 QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  // Each row shows its entry (the beginning of a very long one) with a mark for the worst
  // finding of the diagnostics: the entry's text itself stays as it is.
  QVariant data(const QModelIndex& index, int role) const override;

  const game::ListDiagnostics& Diagnostics() const { return diagnostics_; }

  // The list operations. Each leaves the views and the diagnostics showing the
  // document's list, also when it fails part way (the error propagates).
  void Append(std::string_view line);
  void DeleteSelected();
  bool Load(const PathPrompt& askPath);
  void NewList();
  // Returns the size of the file written; std::nullopt when nothing was written.
  std::optional<std::size_t> Save(const PathPrompt& askPath);
  // The output buffer takes its header (start-up).
  void ResetHeader();
  // Another game: every entry is checked again.
  void SetGame(game::Game game);

 signals:
  // The size the saved file will have changed.
  void SizeChanged();

 private:
  void Reset();
  void HeaderChanged();
  void ShowDiagnostics();

  macros::MacroDocument& document_;
  game::ListDiagnostics diagnostics_;
  int shownCount_ = 0;  // the rows the views know of
};

}  // namespace tavrilo::ui
