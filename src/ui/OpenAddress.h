// SPDX-License-Identifier: GPL-3.0-or-later
// Hands a web or "mailto:" address to the desktop's default program.
#pragma once

#include <functional>
#include <string>

namespace tavrilo {

// Hands `address` (a web or "mailto:" address) to the desktop's default program. The
// outcome is not examined: an address that cannot be opened is not reported.
void OpenAddress(const std::string& address);

// Replaces the desktop hand-over, for tests; an empty function restores it.
using AddressOpener = std::function<void(const std::string& address)>;
void SetAddressOpenerForTesting(AddressOpener opener);

}  // namespace tavrilo
