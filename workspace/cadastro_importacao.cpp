#include "cadastrotelvarim.h"

namespace telvarim {

void CadastroTelvarim::btnimportararqClick() {}

}  // namespace telvarim
