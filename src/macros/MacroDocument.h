// The macro list with its output buffer: saving it as a game configuration file,
// loading one back, starting a new list.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/Paths.h"
#include "core/SafeFile.h"
#include "macros/MacroList.h"
#include "macros/OutputBuffer.h"

namespace tavrilo::macros {

class MacroDocument {
 public:
  MacroDocument() = default;
  // A document whose list takes at most `maxEntries` entries.
  explicit MacroDocument(std::size_t maxEntries) : list_(maxEntries), maxEntries_(maxEntries) {}

  MacroList& List() { return list_; }
  const MacroList& List() const { return list_; }
  const OutputBuffer& Buffer() const { return buffer_; }

  // The header comment goes into the output buffer (start-up).
  void ResetHeader() { ResetOutputBuffer(buffer_); }

  // Save: with an empty list nothing happens and `askPath` is not called. Otherwise the
  // chosen file receives the output buffer's text, then every entry, each line ended by
  // CR LF; then the output buffer is emptied. Cancelled: nothing changes. The file is
  // written by SafeFileWriter (replaced whole where it can be, else written in place; its
  // owner, group, mode, extended attributes and links kept; anything but a regular file
  // refused). A failure (EFCreateError, EWriteError) leaves the output buffer as it was,
  // and a replaced file as it was. Returns whether a file was written.
  bool Save(const PathPrompt& askPath, WriteFunction write = nullptr);

  // Load: cancelled, nothing changes. Otherwise every line of the chosen file becomes an
  // entry, in place of the list's entries, and nothing is selected. The file is read whole
  // before the list changes: an error (EInOutError when it cannot be opened or read,
  // ETextError "File.LineTooLong" for a line longer than kMaxLineLength, EListError when
  // the list cannot take its lines) leaves the list and its selection as they were. The
  // output buffer is not touched. Returns whether a file was chosen.
  bool Load(const PathPrompt& askPath);

  // New list: the list is emptied and the header comment put back.
  void NewList();

  // Appends an entry (EListError when the list is full: nothing changes).
  void Append(std::string_view line);
  // Removes the selected entry; nothing selected, nothing happens. Returns the row
  // removed, or -1.
  int DeleteSelected();

  // Whether the list changed since it was last saved, loaded or started anew: closing it
  // now would lose work.
  bool Modified() const { return modified_; }

 private:
  MacroList list_;
  OutputBuffer buffer_;
  std::size_t maxEntries_ = StringList::kMaxCount;
  bool modified_ = false;
};

}  // namespace tavrilo::macros
