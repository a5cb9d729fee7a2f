#include "script.h"

#include <algorithm>
#include <iterator>

namespace vokuta::drive {
namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// The escapes of a quoted word: the letter after the backslash, and what it stands for.
constexpr struct {
  wchar_t letter, character;
} kEscapes[] = {{L'\\', L'\\'}, {L'"', L'"'},  {L'r', L'\r'},
                {L'n', L'\n'},  {L't', L'\t'}, {L'0', L'\0'}};

} // namespace

std::optional<std::vector<std::wstring>> SplitWords(const std::wstring& line, std::wstring& error) {
  std::vector<std::wstring> words;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size() || (words.empty() && line[i] == L'#')) break;
    std::wstring word;
    if (line[i] != L'"') {
      while (i < line.size() && !isBlank(line[i])) word += line[i++];
      words.push_back(word);
      continue;
    }
    for (++i;; ++i) {
      if (i == line.size()) {
        error = L"a quoted word is not closed";
        return std::nullopt;
      }
      if (line[i] == L'"') break;
      if (line[i] != L'\\') {
        word += line[i];
        continue;
      }
      const wchar_t e = ++i < line.size() ? line[i] : L'\0';
      const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                        [&](const auto& k) { return k.letter == e; });
      if (i == line.size() || escape == std::end(kEscapes)) {
        error = L"unknown escape \\" + std::wstring(e ? 1 : 0, e) + L" in a quoted word";
        return std::nullopt;
      }
      word += escape->character;
    }
    ++i;
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
    const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                      [&](const auto& k) { return k.character == c; });
    if (escape == std::end(kEscapes))
      out += c;
    else
      out += {L'\\', escape->letter};
  }
  return out + L"\"";
}

std::optional<long> ParseNumber(const std::wstring& text) {
  try {
    std::size_t used = 0;
    const long value = std::stol(text, &used, 0);
    if (used == text.size()) return value;
  } catch (const std::exception&) {}
  return std::nullopt;
}

} // namespace vokuta::drive
