// The free-space check and its question.
#include "link/free_space.h"

#include <string>

#include "setupinfo/item_list.h"

namespace vokuta {
namespace {

// A number with a blank where a minus sign would stand.
std::wstring signedNumber(std::int64_t n) {
  return n < 0 ? std::to_wstring(n) : L" " + std::to_wstring(n);
}

} // namespace

FreeSpaceResult CheckFreeSpace(Program& p) {
  std::int32_t freeBytes = 0;
  char listing[2817] = {};
  // Only the free space is read; a failed query leaves it 0, which asks the question.
  p.link->u_dir(p.ui.mainWindowHandle(), p.g.PortNumber, link_option::kDir, p.g.LinkMode, "\\",
                listing, 2816, &freeBytes, &p.g.LinkStatus);
  // The package as it stands now, after the user's deletions.
  const auto total = static_cast<std::int64_t>(合計容量(p));
  if (freeBytes >= total + kFreeSpaceReserve) return kSpaceGoOn;
  return FreeSpaceWarning(p, total, freeBytes) == kYes ? kSpaceGoOn : kSpaceStop;
}

int FreeSpaceWarning(Program& p, std::int64_t total, std::int32_t freeBytes) {
  const std::wstring text = L"Vokuta本体の空き容量が不足しています。\r\n\r\n"
                            L"全てのファイルをインストールできない可能性があります。\r\n\r\n"
                            L"インストールを続けますか?\r\n\r\n"
                            L" ･ Vokuta本体の空き容量 = " +
                            signedNumber(freeBytes) + L" バイト\r\n\r\n" +
                            L" ･ インストールするファイル容量 = " + signedNumber(total) +
                            L" バイト\r\n";
  return p.ui.messageBox(text, AppTitle + L" - 注意", Buttons::YesNo, Icon::Exclamation, 1);
}

} // namespace vokuta
