// Qt's own texts (the file dialog, the print preview, the standard buttons) in Brazilian Portuguese, as the
// rest of the program speaks. The texts the program sets itself (the exchange's "Confirm" dialogs among them)
// are not touched.
#pragma once

namespace telvarim {

// Sets the Brazilian locale for Qt and installs Qt's pt_BR catalogue: the system's (Debian's
// qt6-translations-l10n), else the copy built into the program. False when neither could be loaded.
// Call it once, after the application object exists.
bool InstalaTraducoes();

}  // namespace telvarim
