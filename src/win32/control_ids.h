#pragma once
// What a program driving the installer from outside needs to find its windows and controls:
// the window class and design captions of the four forms, and one control id per control
// (GetDlgItem(form, id)). The ids are stable; new controls get new numbers. No id is IDOK (1),
// IDCANCEL (2) or 0xFFFF, which the dialog manager gives other meanings.
//
// Frm1Main's caption becomes AppTitle at start-up, and Frm3Port's too when start-up shows it;
// Frm2List's is set before each show. Frm4Text keeps its design caption.
//
// Plain constants without <windows.h>, so that any program can include this header.

namespace vokuta::win32::ids {

/// The window class of all four forms.
inline constexpr wchar_t kFormClass[] = L"VokutaSetupForm";

namespace frm1main {
inline constexpr wchar_t kDesignCaption[] = L"本体アプリケーションインストーラ - Step 1/2";
inline constexpr int kLabel1 = 1001;
inline constexpr int kLabel4 = 1002;
inline constexpr int kList1 = 1003;
inline constexpr int kLblSize = 1004;
inline constexpr int kFrame1 = 1005;
inline constexpr int kLabel2 = 1006;
inline constexpr int kLabel3 = 1007;
inline constexpr int kCmd戻る = 1008;
inline constexpr int kCmd次へ = 1009;
inline constexpr int kCmdキャンセル = 1010;
/// Shown during an install run in place of Label2 and Label3: the file being copied and the
/// progress bar by bytes.
inline constexpr int kLblProgress = 1011;
inline constexpr int kProgress = 1012;
} // namespace frm1main

namespace frm2list {
inline constexpr int kLabタイトル = 2001;
inline constexpr int kList1 = 2002;
inline constexpr int kLab追加 = 2003;
/// Lab説明(0), (1) and (2) are kLab説明 + index.
inline constexpr int kLab説明 = 2010;
inline constexpr int kCmdOK = 2004;
} // namespace frm2list

namespace frm3port {
inline constexpr wchar_t kDesignCaption[] = L"本体アプリケーションインストーラ - Step 2/2";
inline constexpr int kFrame1 = 3001;
/// Optポート(0) .. (9) are kOptポート + index.
inline constexpr int kOptポート = 3010;
inline constexpr int kCmd戻る = 3002;
inline constexpr int kCmd開始 = 3003;
inline constexpr int kCmdキャンセル = 3004;
inline constexpr int kLabel1 = 3005;
} // namespace frm3port

namespace frm4text {
inline constexpr wchar_t kCaption[] = L"本体アプリケーションインストーラ - ディレクトリ変更";
inline constexpr int kLabel1 = 4001;
inline constexpr int kLabel2 = 4002;
inline constexpr int kText1 = 4003;
inline constexpr int kLabel3 = 4004;
inline constexpr int kCmdOK = 4005;
inline constexpr int kCmdキャンセル = 4006;
} // namespace frm4text

} // namespace vokuta::win32::ids
