// UTF-8 of wide text, for the package tool's output.
#pragma once
#include <string>

namespace vokuta::pkg {

/// UTF-8 of a wide text: UTF-32 where wchar_t has 32 bits, UTF-16 where it has 16 (a lone
/// surrogate becomes U+FFFD). Decoding is the core's DecodeUtf8.
std::string EncodeUtf8(const std::wstring& text);

} // namespace vokuta::pkg
