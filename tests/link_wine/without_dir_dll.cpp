// A link library with five of the six functions: u_dir is missing. Each function answers with
// its port and writes its mode to the status word, so a test sees that the call arrived and
// with which arguments.
#include "win32/win.h"

// The function `name`, whose arguments between the mode and the status are `...`.
#define VOKUTA_ANSWER(name, ...)                                                                   \
  extern "C" __declspec(dllexport) int WINAPI name(HWND, int port, int, int mode,                  \
                                                   __VA_ARGS__ int* status) {                      \
    *status = mode;                                                                                \
    return port;                                                                                   \
  }

VOKUTA_ANSWER(u_nego)
VOKUTA_ANSWER(u_end)
VOKUTA_ANSWER(u_mkdir, const char*, )
VOKUTA_ANSWER(u_upload, const char*, const char*, )
VOKUTA_ANSWER(u_download, const char*, const char*, )
