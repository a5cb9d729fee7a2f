#include "link/connection.h"

namespace vokuta {

int ConnectPrompt(Program& p) {
  return p.ui.messageBox(L"・本体を接続してください。\r\n・本体をﾘﾓｰﾄ準備中にしてください。\r\n\r\n"
                         L"  準備はよろしいですか？",
                         AppTitle + L" - 接続", Buttons::YesNo, Icon::Information);
}

std::int32_t EndLinkCall(Program& p) {
  return p.link->u_end(p.ui.mainWindowHandle(), p.g.PortNumber, 1, p.g.LinkMode, &p.g.LinkStatus);
}

std::int16_t CheckConnection(Program& p) {
  EndLinkCall(p);
  std::int32_t status = 0;
  if (p.link->u_nego(p.ui.mainWindowHandle(), p.g.PortNumber, 1, p.g.LinkMode, &status) == 0)
    return 0;
  p.ui.messageBox(
      L"本体が正しく接続されていません。\r\nｼﾘｱﾙﾎﾟｰﾄ番号を確認し、本体を再ｾｯﾄしてください。",
      AppTitle + L" - 接続エラー", Buttons::Ok, Icon::Stop);
  return -1;
}

} // namespace vokuta
