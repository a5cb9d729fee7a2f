// The setup table's row predicates.
#include "state/setup_table.h"

#include "util/text.h"

namespace vokuta {

bool SetupRow::isFini() const { return UpperAscii(Control) == L"FINI"; }

} // namespace vokuta
