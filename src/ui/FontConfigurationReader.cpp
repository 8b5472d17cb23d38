// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FontConfigurationReader.h"

#ifdef TAVRILO_HAS_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace tavrilo::ui {

FontConfigurationReader::FontConfigurationReader() {
#ifdef TAVRILO_HAS_FONTCONFIG
  // Reads the configuration and makes it the current one, which Qt then uses as it is.
  reader_ = std::thread([] { FcInit(); });
#endif
}

FontConfigurationReader::~FontConfigurationReader() {
  Wait();
}

void FontConfigurationReader::Wait() {
  if (reader_.joinable()) reader_.join();
}

}  // namespace tavrilo::ui
