// The Codepage seam on Linux: CP932 through iconv.
#pragma once
#include <iconv.h>

#include "platform/codepage.h"

namespace vokuta {

/// Code page 932 through the C library's iconv.
class IconvCodepage final : public Codepage {
public:
  IconvCodepage();
  ~IconvCodepage() override;
  IconvCodepage(const IconvCodepage&) = delete;
  IconvCodepage& operator=(const IconvCodepage&) = delete;

  std::optional<wchar_t> decodeChar(std::string_view code) override;
  std::optional<std::string> encodeChar(wchar_t ch) override;

private:
  iconv_t toWide_;
  iconv_t fromWide_;
};

} // namespace vokuta
