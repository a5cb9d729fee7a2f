#include "win32/win32_codepage.h"

#include "win32/win.h"

namespace vokuta {
namespace {
constexpr UINT kCp932 = 932;
}

std::optional<wchar_t> Win32Codepage::decodeChar(std::string_view code) {
  if (code.empty() || code.size() > 2) return std::nullopt;
  // Room for two characters, so that a code that is really two single bytes shows as such.
  wchar_t out[2];
  const int n = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, code.data(),
                                    static_cast<int>(code.size()), out, 2);
  if (n != 1) return std::nullopt;
  return out[0];
}

std::optional<std::string> Win32Codepage::encodeChar(wchar_t ch) {
  // Without WC_NO_BEST_FIT_CHARS Windows would answer look-alikes ('A' for U+0100) that do
  // not decode back to the character.
  char out[4];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, &ch, 1, out, sizeof out, nullptr,
                                    &usedDefault);
  if (usedDefault || n < 1 || n > 2) return std::nullopt;
  return std::string(out, static_cast<std::size_t>(n));
}

} // namespace vokuta
