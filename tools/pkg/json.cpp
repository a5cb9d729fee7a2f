// A small JSON writer for the package tool's --json reports.
#include "pkg/json.h"

namespace vokuta::pkg {

std::wstring JsonString(const std::wstring& text) {
  static const wchar_t digits[] = L"0123456789abcdef";
  std::wstring out = L"\"";
  out.reserve(text.size() + 2);
  for (wchar_t c : text) {
    switch (c) {
    case L'"':
      out += L"\\\"";
      break;
    case L'\\':
      out += L"\\\\";
      break;
    case L'\n':
      out += L"\\n";
      break;
    case L'\r':
      out += L"\\r";
      break;
    case L'\t':
      out += L"\\t";
      break;
    default:
      if (static_cast<std::uint32_t>(c) < 0x20 || c == 0x7F) {
        out += L"\\u00";
        out += digits[(c >> 4) & 0xF];
        out += digits[c & 0xF];
      } else {
        out += c;
      }
    }
  }
  return out + L"\"";
}

std::wstring EscapeControls(const std::wstring& text) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    const auto code = static_cast<std::uint32_t>(c);
    if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) {
      out += L"\\x";
      out += digits[code >> 4];
      out += digits[code & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

void JsonWriter::newline() {
  out_ += L'\n';
  out_.append(levels_.size() * 2, L' ');
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  if (levels_.back().items++) out_ += L',';
  newline();
}

JsonWriter& JsonWriter::beginObject() {
  beforeValue();
  out_ += L'{';
  levels_.push_back({true, 0});
  return *this;
}

JsonWriter& JsonWriter::beginArray() {
  beforeValue();
  out_ += L'[';
  levels_.push_back({false, 0});
  return *this;
}

JsonWriter& JsonWriter::endObject() {
  const bool had = levels_.back().items != 0;
  levels_.pop_back();
  if (had) newline();
  out_ += L'}';
  return *this;
}

JsonWriter& JsonWriter::endArray() {
  const bool had = levels_.back().items != 0;
  levels_.pop_back();
  if (had) newline();
  out_ += L']';
  return *this;
}

JsonWriter& JsonWriter::key(const char* name) {
  beforeValue();
  out_ += JsonString(std::wstring(name, name + std::char_traits<char>::length(name)));
  out_ += L": ";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::value(const std::wstring& text) {
  beforeValue();
  out_ += JsonString(text);
  return *this;
}

JsonWriter& JsonWriter::value(const char* text) {
  return value(std::wstring(text, text + std::char_traits<char>::length(text)));
}

JsonWriter& JsonWriter::number(std::uint64_t n) {
  beforeValue();
  out_ += std::to_wstring(n);
  return *this;
}

JsonWriter& JsonWriter::flag(bool b) {
  beforeValue();
  out_ += b ? L"true" : L"false";
  return *this;
}

JsonWriter& JsonWriter::null() {
  beforeValue();
  out_ += L"null";
  return *this;
}

} // namespace vokuta::pkg
