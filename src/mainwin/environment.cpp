// The PC software's registry values and the check that its file manager is not running.
#include "mainwin/environment.h"

#include "mainwin/exit_question.h"
#include "util/text.h"

namespace vokuta {

void CheckEnvironment(Program& p) {
  if (ReadInstallDir(p).empty()) {
    p.ui.messageBox(L"作業ﾃﾞｨﾚｸﾄﾘの指定がありません。\r\n再ｲﾝｽﾄｰﾙしてください。", AppTitle,
                    Buttons::Ok, Icon::Stop);
    p.ui.endProgram();
  }
  p.g.FilerTempPath = ReadInstallDir(p) + L"\\ReDirav\\Temp\\$filer$.tmp";
  while (!CheckReDirav(p)) ConfirmExit(p);
}

bool CheckReDirav(Program& p) {
  if (!FilerTempExists(p.files, p.g.FilerTempPath)) return true;
  int answer = kRetry;
  do {
    answer =
        p.ui.messageBox(L"RE Diravが起動しています。\r\nRE Diravを終了後、再試行してください。",
                        AppTitle + L" - 起動エラー", Buttons::RetryCancel, Icon::Exclamation);
    if (answer == kCancel) return false;
  } while (FilerTempExists(p.files, p.g.FilerTempPath));
  return true;
}

std::wstring ReadInstallDir(Program& p) {
  const auto bytes = p.registry.readValue(kPcSoftwareKey, "InstallDir");
  if (!bytes || bytes->empty()) return {};
  std::wstring text = p.sjis.decode(*bytes);
  text = text.substr(0, text.find(L'\0'));
  if (!text.empty() && text.back() == L'\\') text.pop_back();
  return text;
}

std::int32_t ReadFilerPort(Program& p) {
  const auto bytes = p.registry.readValue(kFilerKey, "PORT");
  // The value is read into a 4-byte number: a longer one does not fit and counts as absent.
  if (!bytes || bytes->size() > 4) return 0;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < bytes->size(); ++i) value |= std::uint32_t{(*bytes)[i]} << (8 * i);
  return static_cast<std::int32_t>(value);
}

} // namespace vokuta
