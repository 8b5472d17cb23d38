// SPDX-License-Identifier: GPL-3.0-or-later
// The user's short date format, read once at start-up from the platform's locale.
#pragma once

#include <QString>

namespace tavrilo::ui {

// The format used when the user's settings give none (a Qt date format string).
inline constexpr char kFallbackShortDateFormat[] = "M/d/yy";

// `format`, or the fallback when it is empty.
QString ShortDateFormatOrFallback(const QString& format);

// The short date format of the user's regional settings, as a Qt date format string;
// never empty.
QString UserShortDateFormat();

}  // namespace tavrilo::ui
