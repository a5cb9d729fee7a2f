// A link library with five of the six functions: u_dir is missing. Each function answers with
// its port and writes its mode to the status word, so a test sees that the call arrived and
// with which arguments.
#include "win32/win.h"

extern "C" __declspec(dllexport) int WINAPI u_nego(HWND, int port, int, int mode, int* status) {
  *status = mode;
  return port;
}

extern "C" __declspec(dllexport) int WINAPI u_end(HWND, int port, int, int mode, int* status) {
  *status = mode;
  return port;
}

extern "C" __declspec(dllexport) int WINAPI
    u_mkdir(HWND, int port, int, int mode, const char*, int* status) {
  *status = mode;
  return port;
}

extern "C" __declspec(dllexport) int WINAPI
    u_upload(HWND, int port, int, int mode, const char*, const char*, int* status) {
  *status = mode;
  return port;
}

extern "C" __declspec(dllexport) int WINAPI
    u_download(HWND, int port, int, int mode, const char*, const char*, int* status) {
  *status = mode;
  return port;
}
