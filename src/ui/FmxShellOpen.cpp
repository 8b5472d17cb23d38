// SPDX-License-Identifier: GPL-3.0-or-later
// ShellOpen: the desktop's default program opens an address.
#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "ui/FmxShellOpen.h"

namespace tavrilo {

namespace {
ShellOpener& TestOpener() {
  static ShellOpener opener;
  return opener;
}
}  // namespace

void SetShellOpenerForTesting(ShellOpener opener) {
  TestOpener() = std::move(opener);
}

void ShellOpen(const std::string& target, const std::string& /*parameters*/,
               const std::string& /*directory*/, int /*showCommand*/) {
  if (TestOpener()) {
    TestOpener()(target);
    return;
  }
  QDesktopServices::openUrl(
      QUrl(QString::fromLatin1(target.data(), static_cast<qsizetype>(target.size()))));
}

}  // namespace tavrilo
