#pragma once
#include "platform/codepage.h"

namespace vokuta {

/// Windows' own code page 932 tables, whatever the system's ANSI code page is.
class Win32Codepage final : public Codepage {
public:
  std::optional<wchar_t> decodeChar(std::string_view code) override;
  std::optional<std::string> encodeChar(wchar_t ch) override;
};

} // namespace vokuta
