#include "app/install_run.h"

#include "app/environment.h"

namespace vokuta {

void 開始ボタン(Program& p) {
  // The PC file manager may have been started since start-up.
  CheckEnvironment(p);
}

} // namespace vokuta
