// A small JSON writer for the package tool's --json reports.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vokuta::pkg {

/// Writes one JSON document, indented by two blanks, into a wide text (the program's output
/// turns it into UTF-8). Keys and values are given in document order; commas and indentation
/// follow from the nesting.
class JsonWriter {
public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  JsonWriter& key(const char* name);
  JsonWriter& value(const std::wstring& text);
  JsonWriter& value(const char* text);
  JsonWriter& number(std::uint64_t n);
  JsonWriter& flag(bool b);
  JsonWriter& null();

  /// The document, ended by a line end.
  std::wstring str() const { return out_ + L"\n"; }

private:
  void beforeValue();
  void newline();

  std::wstring out_;
  struct Level {
    bool object;
    std::size_t items;
  };
  std::vector<Level> levels_;
  bool afterKey_ = false;
};

/// `text` as a JSON string, quotes included.
std::wstring JsonString(const std::wstring& text);

/// `text` safe to print on a terminal: C0 and C1 control characters and DEL as "\x1B" and the
/// like, everything else as it is.
std::wstring EscapeControls(const std::wstring& text);

} // namespace vokuta::pkg
