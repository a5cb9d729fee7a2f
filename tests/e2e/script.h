#pragma once
// The driver's command language: one command per line, words separated by blanks.
//
//   # a comment line
//   window main List1 "Vokuta本体ソフト インストーラ"
//   box "Vokuta本体ソフト インストーラ - 終了" "「Vokuta本体ソフト インストーラ」を終了して..." yes
//
// A bare word is taken literally, backslashes included, so Windows paths need no quoting. A
// quoted word may hold blanks and knows the escapes \\ \" \r \n \t and \0 (a zero
// character, as a text read from a file may hold).
#include <optional>
#include <string>
#include <vector>

namespace vokuta::drive {

struct Command {
  int line = 0;                   ///< 1-based line of the script, or the argument's position
  std::wstring source;            ///< the line as written, for messages
  std::vector<std::wstring> word; ///< word[0] is the command's name
};

/// Splits one line into words. Returns std::nullopt and sets `error` when a quote is left open
/// or an escape is unknown; an empty or comment line gives no words.
std::optional<std::vector<std::wstring>> SplitWords(const std::wstring& line, std::wstring& error);

/// Writes `text` with the escapes a quoted word would use, so that a CR LF in a message, a zero
/// character or a trailing blank stays visible in the driver's report.
std::wstring Quote(const std::wstring& text);

} // namespace vokuta::drive
