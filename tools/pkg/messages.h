// The package tool's messages in English and Japanese.
#pragma once
#include <string>

#include "pkg/problem.h"

namespace vokuta::pkg {

enum class Lang { En, Ja };

/// The text of `en` or `ja`, whichever `lang` asks for.
inline const wchar_t* Say(Lang lang, const wchar_t* en, const wchar_t* ja) {
  return lang == Lang::Ja ? ja : en;
}

/// The problem's message in `lang`, its arguments filled in.
std::wstring MessageOf(const Problem& problem, Lang lang);

/// "error" / "warning", or their Japanese words.
std::wstring SeverityWord(Severity severity, Lang lang);

/// Fills "{1}".."{9}" of `pattern` from `args`; a missing argument leaves the placeholder empty.
std::wstring Fill(const std::wstring& pattern, const std::vector<std::wstring>& args);

} // namespace vokuta::pkg
