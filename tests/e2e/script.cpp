#include "script.h"

namespace vokuta::drive {
namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

} // namespace

std::optional<std::vector<std::wstring>> SplitWords(const std::wstring& line, std::wstring& error) {
  std::vector<std::wstring> words;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size()) break;
    if (words.empty() && line[i] == L'#') break;
    std::wstring word;
    if (line[i] != L'"') {
      while (i < line.size() && !isBlank(line[i])) word += line[i++];
      words.push_back(word);
      continue;
    }
    ++i;
    bool closed = false;
    while (i < line.size()) {
      const wchar_t c = line[i++];
      if (c == L'"') {
        closed = true;
        break;
      }
      if (c != L'\\') {
        word += c;
        continue;
      }
      const wchar_t e = i < line.size() ? line[i++] : L'\0';
      switch (e) {
      case L'\\':
      case L'"':
        word += e;
        break;
      case L'r':
        word += L'\r';
        break;
      case L'n':
        word += L'\n';
        break;
      case L't':
        word += L'\t';
        break;
      case L'0':
        word += L'\0';
        break;
      default:
        error = L"unknown escape \\" + std::wstring(e ? 1 : 0, e) + L" in a quoted word";
        return std::nullopt;
      }
    }
    if (!closed) {
      error = L"a quoted word is not closed";
      return std::nullopt;
    }
    words.push_back(word);
  }
  return words;
}

std::optional<std::vector<Command>> ParseScript(const std::vector<std::wstring>& lines,
                                                std::wstring& error) {
  std::vector<Command> commands;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const int lineNo = static_cast<int>(n + 1);
    auto words = SplitWords(lines[n], error);
    if (!words) {
      error = L"line " + std::to_wstring(lineNo) + L": " + error;
      return std::nullopt;
    }
    if (words->empty()) continue;
    Command c{lineNo, lines[n], std::move(*words)};
    const std::wstring& line = lines[n];
    const std::size_t end = line.find_last_not_of(L" \t\r");
    // A quoted "<<" ends in a quote: only the bare word opens a block.
    if (c.word.back() == L"<<" && end != std::wstring::npos && line[end] == L'<') {
      c.word.pop_back();
      bool closed = false;
      while (++n < lines.size()) {
        std::wstring text = lines[n];
        if (!text.empty() && text.back() == L'\r') text.pop_back();
        const std::size_t first = text.find_first_not_of(L" \t");
        if (first != std::wstring::npos &&
            text.substr(first, text.find_last_not_of(L" \t") + 1 - first) == L">>") {
          closed = true;
          break;
        }
        c.word.push_back(text);
        c.source += L"\n" + text;
      }
      if (!closed) {
        error = L"line " + std::to_wstring(lineNo) + L": the block is not closed by a line \">>\"";
        return std::nullopt;
      }
    }
    commands.push_back(std::move(c));
  }
  return commands;
}

std::wstring Quote(const std::wstring& text) {
  std::wstring out = L"\"";
  for (wchar_t c : text) {
    switch (c) {
    case L'\\':
      out += L"\\\\";
      break;
    case L'"':
      out += L"\\\"";
      break;
    case L'\r':
      out += L"\\r";
      break;
    case L'\n':
      out += L"\\n";
      break;
    case L'\t':
      out += L"\\t";
      break;
    case L'\0':
      out += L"\\0";
      break;
    default:
      out += c;
    }
  }
  return out + L"\"";
}

} // namespace vokuta::drive
