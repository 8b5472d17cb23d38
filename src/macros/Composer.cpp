#include "macros/Composer.h"

#include "macros/KeyTranslation.h"

namespace tavrilo::macros {

void Composer::Reset() {
  *this = Composer();
}

void Composer::SelectKey(std::string_view fieldText) {
  currentKey_ = TranslateKey(fieldText);
}

void Composer::SelectFunction(std::string_view catalogueCommand) {
  currentCommand_ = TranslateCommand(catalogueCommand);
}

}  // namespace tavrilo::macros
