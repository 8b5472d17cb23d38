// SPDX-License-Identifier: GPL-3.0-or-later
// The text of an error in the user's language: every error of the system names a text of
// the caption files, filled from the error (the file's path where it has one). The
// window and the command line show errors through it.
#pragma once

#include <exception>

#include "core/Text.h"

namespace tavrilo {

// The text for `error`. An input/output error of the table gets its own text (an
// unmapped system error "Cli.IoError" {number}); an error of the text layer its text; any
// other error "Cli.OtherError" {its message}.
Text TextOfError(const std::exception& error);

}  // namespace tavrilo
