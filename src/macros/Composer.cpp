#include "macros/Composer.h"

#include "macros/KeyTranslation.h"
#include "macros/StringList.h"

namespace tavrilo::macros {

void Composer::Reset() {
  *this = Composer();
}

void Composer::SelectKey(std::string_view fieldText) {
  currentKey_ = TranslateKey(fieldText);
}

void Composer::SelectFunction(int position, StringList& commands) {
  commands.SetItemIndex(position);
  currentCommand_ = TranslateCommand(commands.Text());
}

}  // namespace tavrilo::macros
