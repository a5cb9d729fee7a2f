// CP932 through iconv, one character at a time.
#include "posix/iconv_codepage.h"

#include <cstring>
#include <stdexcept>

namespace vokuta {
namespace {

// Converts `in` completely or not at all; the descriptor is reset before each use.
std::optional<std::string> convert(iconv_t cd, std::string in, std::size_t outMax) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(outMax, '\0');
  char* inPtr = in.data();
  std::size_t inLeft = in.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
    return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

} // namespace

IconvCodepage::IconvCodepage()
    : toWide_(iconv_open("WCHAR_T", "CP932")), fromWide_(iconv_open("CP932", "WCHAR_T")) {
  if (toWide_ == reinterpret_cast<iconv_t>(-1) || fromWide_ == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error("iconv has no CP932 converter");
}

IconvCodepage::~IconvCodepage() {
  iconv_close(toWide_);
  iconv_close(fromWide_);
}

std::optional<wchar_t> IconvCodepage::decodeChar(std::string_view code) {
  auto out = convert(toWide_, std::string(code), 2 * sizeof(wchar_t));
  if (!out || out->size() != sizeof(wchar_t)) return std::nullopt;
  wchar_t ch;
  std::memcpy(&ch, out->data(), sizeof ch);
  return ch;
}

std::optional<std::string> IconvCodepage::encodeChar(wchar_t ch) {
  std::string in(sizeof ch, '\0');
  std::memcpy(in.data(), &ch, sizeof ch);
  auto out = convert(fromWide_, in, 4);
  if (!out || out->empty() || out->size() > 2) return std::nullopt;
  return out;
}

} // namespace vokuta
