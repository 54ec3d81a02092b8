#include "cadastrotelvarim.h"

namespace telvarim {

void CadastroTelvarim::btnimpressaoClick() {}

}  // namespace telvarim
