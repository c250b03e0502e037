#include "app/creation_sequence.h"

namespace zelv {
void RunCreationSequence(App&) {}
}  // namespace zelv
