// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ShortDateFormat.h"

#include <QLocale>

namespace tavrilo::ui {

QString ShortDateFormatOrFallback(const QString& format) {
  return format.isEmpty() ? QString::fromLatin1(kFallbackShortDateFormat) : format;
}

QString UserShortDateFormat() {
  return ShortDateFormatOrFallback(QLocale::system().dateFormat(QLocale::ShortFormat));
}

}  // namespace tavrilo::ui
