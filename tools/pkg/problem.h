// The package tool's problems: an id, a line and column, arguments, a severity.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace vokuta::pkg {

// What the tools report about a package: each problem names where it comes from (line and
// column from 1; line 0 for the file as a whole) and carries the texts its message needs.
//
// Errors are what makes the installer fail or install something other than intended; warnings
// are what works, but probably not as the author means.

enum class Severity { Warning, Error };

enum class MessageId {
  // Setup.inf as a whole
  CannotRead,     ///< {1} path
  TooManyRows,    ///< {1} number of rows
  NoRows,         ///< -
  Utf8WithoutBom, ///< -
  Utf16,          ///< -
  NoCharacter,    ///< {1} how many places on the line
  // lines the installer passes over
  TooFewCommas,  ///< {1} commas found
  EmptyFileName, ///< -
  SecondPort,    ///< {1} line of the first port line
  PortUnclear,   ///< {1} text after "[PORT]=", {2} port read
  // columns of a row
  BlanksKept,         ///< {1} field number, {2} text as stored
  UnknownControl,     ///< {1} control text
  ControlBlanks,      ///< {1} control text
  AssocColumnsUnused, ///< -
  FileNameBackslash,  ///< {1} file name
  // PC files
  SourceMissing,   ///< {1} PC path
  WildcardNoMatch, ///< {1} PC pattern
  // device names and paths
  NameTooLong,      ///< {1} name, {2} base bytes, {3} extension bytes
  NameLastByte5C,   ///< {1} name, {2} last character
  NameEmpty,        ///< {1} device path
  NameDots,         ///< {1} name
  NameBadCharacter, ///< {1} name, {2} character
  NameReserved,     ///< {1} name
  SameDevicePath,   ///< {1} device path, {2} line that writes it first
  // associations
  SuffixCut,            ///< {1} suffix as written, {2} suffix as stored
  SuffixNotSingleByte,  ///< {1} suffix
  SuffixLooksFree,      ///< {1} suffix as stored
  SuffixNoDot,          ///< {1} suffix as stored
  SmallIconTooLarge,    ///< {1} column text, {2} number kept
  LargeIconTooLarge,    ///< {1} column text
  IconNotHex,           ///< {1} column text, {2} character where reading stops, {3} number read
  RepeatedSuffix,       ///< {1} suffix, {2} earlier line
  AppPathCut,           ///< {1} program path, {2} as stored
  AppPathNotSingleByte, ///< {1} program path
  AppPathWildcard,      ///< {1} program path
};
inline constexpr MessageId kLastMessageId = MessageId::AppPathWildcard;

struct Problem {
  Severity severity = Severity::Warning;
  std::size_t line = 0;
  std::size_t column = 0;
  MessageId id = MessageId::CannotRead;
  std::vector<std::wstring> args;
};

/// The severity every problem of that kind has.
Severity SeverityOf(MessageId id);

/// A stable name for machines ("suffix-cut").
const char* KeyOf(MessageId id);

inline Problem MakeProblem(MessageId id, std::size_t line, std::size_t column,
                           std::vector<std::wstring> args = {}) {
  return Problem{SeverityOf(id), line, column, id, std::move(args)};
}

/// Exit status of a check: 0 clean, 1 warnings only, 2 errors.
int ExitStatusOf(const std::vector<Problem>& problems);

std::size_t CountOf(const std::vector<Problem>& problems, Severity severity);

} // namespace vokuta::pkg
