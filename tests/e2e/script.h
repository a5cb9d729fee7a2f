#pragma once
// The driver's command language: one command per line, words separated by blanks.
//
//   # a comment line
//   window main List1 "Vokuta本体ソフト インストーラ"
//   box "Vokuta本体ソフト インストーラ - 終了" "「Vokuta本体ソフト インストーラ」を終了して..." yes
//
//   lines C:\dev\calls.log <<
//   u_end 1 1 4 -> 0 status 0
//   >>
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

/// The commands of a script given as its lines; empty and comment lines give none. A line whose
/// last word is a bare "<<" takes the lines after it, up to one that holds only ">>", as further
/// words, each line one word as it stands: a list of lines (a log, a file's text) needs neither
/// quotes nor escapes. std::nullopt with `error` set (naming the line) for a line that cannot be
/// split or a block that is not closed.
std::optional<std::vector<Command>> ParseScript(const std::vector<std::wstring>& lines,
                                                std::wstring& error);

/// Writes `text` with the escapes a quoted word would use, so that a CR LF in a message, a zero
/// character or a trailing blank stays visible in the driver's report.
std::wstring Quote(const std::wstring& text);

/// A whole word read as a number: decimal, hexadecimal with 0x or octal with a leading 0.
std::optional<long> ParseNumber(const std::wstring& text);

} // namespace vokuta::drive
