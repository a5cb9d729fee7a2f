// The connect prompt, the connection check and the end of the link.
#include "link/connection.h"

namespace vokuta {

int ConnectPrompt(Program& p) {
  return p.ui.messageBox(L"・本体を接続してください。\r\n・本体をﾘﾓｰﾄ準備中にしてください。\r\n\r\n"
                         L"  準備はよろしいですか？",
                         AppTitle + L" - 接続", Buttons::YesNo, Icon::Information);
}

std::int32_t EndLink(Program& p) {
  return p.link->u_end(p.ui.mainWindowHandle(), p.g.PortNumber, link_option::kEnd, p.g.LinkMode,
                       &p.g.LinkStatus);
}

ConnectionResult CheckConnection(Program& p) {
  // A link an earlier attempt left open would refuse the negotiation.
  EndLink(p);
  std::int32_t status = 0;
  if (p.link->u_nego(p.ui.mainWindowHandle(), p.g.PortNumber, link_option::kNego, p.g.LinkMode,
                     &status) == 0)
    return kConnected;
  p.ui.messageBox(
      L"本体が正しく接続されていません。\r\nｼﾘｱﾙﾎﾟｰﾄ番号を確認し、本体を再ｾｯﾄしてください。",
      AppTitle + L" - 接続エラー", Buttons::Ok, Icon::Stop);
  return kNotConnected;
}

} // namespace vokuta
