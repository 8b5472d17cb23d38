// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's default program opens an address.
#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "ui/OpenAddress.h"

namespace tavrilo {

namespace {
AddressOpener& TestOpener() {
  static AddressOpener opener;
  return opener;
}
}  // namespace

void SetAddressOpenerForTesting(AddressOpener opener) {
  TestOpener() = std::move(opener);
}

void OpenAddress(const std::string& target) {
  if (TestOpener()) {
    TestOpener()(target);
    return;
  }
  QDesktopServices::openUrl(
      QUrl(QString::fromLatin1(target.data(), static_cast<qsizetype>(target.size()))));
}

}  // namespace tavrilo
