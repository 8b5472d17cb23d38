// SPDX-License-Identifier: GPL-3.0-or-later
// The system's font configuration, read on another thread while the window's session
// reads its files. Qt reads it when a first text is measured, and reading it (every
// configuration file of the system's fonts, then their caches) is the largest part of a
// Qt window's start. It starts once Qt has: while Qt starts, it sets the process's locale
// and edits its environment, which no other thread may read meanwhile. Where the system
// has no such configuration (Windows, macOS), nothing is read.
#pragma once

#include <thread>

namespace tavrilo::ui {

class FontConfigurationReader {
 public:
  // Starts reading.
  FontConfigurationReader();
  // Waits for the reading to end, if Wait has not.
  ~FontConfigurationReader();
  FontConfigurationReader(const FontConfigurationReader&) = delete;
  FontConfigurationReader& operator=(const FontConfigurationReader&) = delete;

  // Returns once the configuration is read: before the first text is measured, so that Qt
  // finds it read and does not read it a second time alongside.
  void Wait();

 private:
  std::thread reader_;
};

}  // namespace tavrilo::ui
