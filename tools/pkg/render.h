// The package tool's reports as text and JSON.
#pragma once
#include <string>

#include "pkg/check.h"
#include "pkg/messages.h"
#include "pkg/plan.h"
#include "pkg/ravuz.h"

namespace vokuta::pkg {

enum class Format { Text, Json };

// The reports of the three commands as text for people or one JSON document for programs, in
// English or Japanese. Every text ends with a line end.

std::wstring RenderCheck(const CheckReport& report, Lang lang, Format format);
std::wstring RenderRavuz(const RavuzFile& file, Lang lang, Format format);
std::wstring RenderDiff(const RavuzDiff& diff, Lang lang, Format format);
std::wstring RenderPlan(const Plan& plan, Lang lang, Format format);

/// Why a file was refused, and what the tool and the installer read of it.
std::wstring RefusalOf(const RavuzFile& file, Lang lang);

} // namespace vokuta::pkg
