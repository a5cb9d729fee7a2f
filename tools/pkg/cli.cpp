// vokuta-pkg's command line: arguments, commands and their reports.
#include "pkg/cli.h"

#include "devsim/sim_config.h"
#include "pkg/check.h"
#include "pkg/plan.h"
#include "pkg/ravuz.h"
#include "pkg/read_only_files.h"
#include "pkg/render.h"

namespace vokuta::pkg {
namespace {

struct Options {
  Lang lang = Lang::En;
  Format format = Format::Text;
  bool help = false;
  bool diff = false;
  std::optional<std::wstring> device;
  std::optional<std::uint64_t> capacity;
  std::vector<std::wstring> words; ///< the command and its operands
};

std::optional<std::uint64_t> decimal(const std::wstring& text) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  std::uint64_t n = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    n = n * 10 + static_cast<std::uint64_t>(c - L'0');
  }
  return n;
}

// Reads the options wherever they stand; `error` names the first thing that is wrong.
Options parse(const std::vector<std::wstring>& args, std::wstring& error) {
  Options o;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::wstring& a = args[i];
    const auto operand = [&]() -> std::optional<std::wstring> {
      if (i + 1 < args.size()) return args[++i];
      error = a + L": needs a value";
      return std::nullopt;
    };
    if (a == L"--json") {
      o.format = Format::Json;
    } else if (a == L"--help" || a == L"-h") {
      o.help = true;
    } else if (a == L"--diff") {
      o.diff = true;
    } else if (a == L"--lang") {
      if (auto v = operand()) {
        if (*v == L"ja")
          o.lang = Lang::Ja;
        else if (*v == L"en")
          o.lang = Lang::En;
        else
          error = L"--lang: \"" + *v + L"\" is neither en nor ja";
      }
    } else if (a == L"--device") {
      if (auto v = operand()) o.device = *v;
    } else if (a == L"--capacity") {
      if (auto v = operand()) {
        o.capacity = decimal(*v);
        if (!o.capacity) error = L"--capacity: \"" + *v + L"\" is no number of bytes";
      }
    } else if (a.size() > 1 && a[0] == L'-' && a != L"-") {
      error = a + L": no such option";
    } else {
      o.words.push_back(a);
    }
  }
  return o;
}

const std::wstring kDefaultSetupInf = L"Setup.inf";

} // namespace

std::wstring HelpText(bool japanese) {
  if (japanese)
    return LR"(使い方: vokuta-pkg [--lang en|ja] [--json] コマンド ...

  check [Setup.inf]                 Setup.inf をインストーラと同じ方法で読み、行と桁を添えて報告します
  ravuz ファイル                     関連付けファイル (Ravuz.ini) を表で示します
  ravuz --diff A B                  2 つの関連付けファイルの違いを示します
  plan [Setup.inf] --device フォルダ [--capacity バイト数]
                                    模擬Vokutaのフォルダへのインストールを試算します（何も書き込みません）

Setup.inf を省くとカレントフォルダの Setup.inf を読みます。その置き場所が転送元フォルダです。
--json は同じ内容を 1 つの JSON 文書で出力します。

重大度:
  エラー  インストールが失敗するか、意図と違うものがインストールされるもの: 転送元ファイルが
          ない、ワイルドカードに一致するファイルがない、199 を超える項目、同じVokutaのパスに
          書き込む 2 つの項目、Vokutaが扱えない名前（8.3 形式を超える Shift-JIS バイト数、
          最後の文字のコードが 0x5C で終わる、使えない文字）、UTF-16 のセットアップ情報
  警告    動くが、おそらく作者の意図どおりではないもの: データのある無視される行、2 つ目の
          ポート行、切り詰められる拡張子、ピリオドのない拡張子、大きすぎるアイコン番号、重複する
          拡張子、文字にならないバイト列など

終了コード:
  check  0 問題なし、1 警告のみ、2 エラーあり
  ravuz  0 問題なし、1 失われるおそれのある関連付けあり、2 読めないか受け付けないファイル
         （--diff: 0 同じ、1 違いあり、2 読めないか受け付けないファイル）
  plan   0 問題なし、1 インストーラがユーザーに尋ねるか知らせる、2 インストールが失敗する
  3      コマンドラインの誤り
)";
  return LR"(Usage: vokuta-pkg [--lang en|ja] [--json] COMMAND ...

  check [Setup.inf]                 read Setup.inf as the installer does and report on it, by
                                    line and column
  ravuz FILE                        show an association file (Ravuz.ini) as a table
  ravuz --diff A B                  show what changed between two association files
  plan [Setup.inf] --device DIR [--capacity BYTES]
                                    dry run of the installation onto a simulated device folder;
                                    nothing is written

Without a Setup.inf the one in the current folder is read; its folder is the source folder.
--json gives the same report as one JSON document.

Severity:
  error    the installation fails or installs something other than intended: missing source
           files, wildcards that match nothing, more than 199 rows, two rows that write one
           device path, names the device cannot hold (beyond 8.3 in Shift-JIS bytes, a last
           character whose code ends in 0x5C, characters the device lacks), a UTF-16 Setup.inf
  warning  it works, but probably not as meant: ignored lines with data, a second port line,
           a suffix cut to four characters or without a dot, icon numbers too large, a
           repeated suffix, bytes that are no character, and the like

Exit status:
  check  0 clean, 1 warnings only, 2 errors
  ravuz  0 clean, 1 records at risk, 2 a file refused or unreadable
         (--diff: 0 the same, 1 they differ, 2 a file refused or unreadable)
  plan   0 clean, 1 the installer would ask or tell the user something, 2 the installation
         would fail
  3      a command line the tool cannot follow
)";
}

int RunPkgTool(const std::vector<std::wstring>& args, PcFiles& platformFiles, const ShiftJis& sjis,
               std::wstring& out, std::wstring& err) {
  ReadOnlyFiles files(platformFiles);
  std::wstring error;
  const Options o = parse(args, error);
  const auto usage = [&](const std::wstring& why) {
    err += L"vokuta-pkg: " + why + L"\n" + L"Try \"vokuta-pkg --help\".\n";
    return kUsageStatus;
  };
  if (!error.empty()) return usage(error);
  if (o.help || o.words.empty() || o.words[0] == L"help") {
    out += HelpText(o.lang == Lang::Ja);
    return o.help || (!o.words.empty() && o.words[0] == L"help") ? 0 : kUsageStatus;
  }
  const std::wstring& command = o.words[0];
  const std::vector<std::wstring> operands(o.words.begin() + 1, o.words.end());
  if (command != L"plan" && (o.device || o.capacity))
    return usage(L"--device and --capacity belong to plan");
  if (command != L"ravuz" && o.diff) return usage(L"--diff belongs to ravuz");

  if (command == L"check") {
    if (operands.size() > 1) return usage(L"check takes one Setup.inf");
    const std::wstring path = operands.empty() ? kDefaultSetupInf : operands[0];
    const CheckReport report = CheckSetupInfo(files, sjis, path, SourceDirOf(path));
    out += RenderCheck(report, o.lang, o.format);
    return ExitStatusOf(report.problems);
  }
  if (command == L"ravuz") {
    if (o.diff) {
      if (operands.size() != 2) return usage(L"ravuz --diff takes two files");
      const RavuzDiff diff =
          DiffRavuz(ReadRavuz(files, sjis, operands[0]), ReadRavuz(files, sjis, operands[1]), sjis);
      out += RenderDiff(diff, o.lang, o.format);
      return ExitStatusOf(diff);
    }
    if (operands.size() != 1) return usage(L"ravuz takes one file");
    const RavuzFile file = ReadRavuz(files, sjis, operands[0]);
    out += RenderRavuz(file, o.lang, o.format);
    return ExitStatusOf(file);
  }
  if (command == L"plan") {
    if (operands.size() > 1) return usage(L"plan takes one Setup.inf");
    if (!o.device) return usage(L"plan needs --device DIR");
    const std::wstring path = operands.empty() ? kDefaultSetupInf : operands[0];
    const Plan plan = MakePlan(files, sjis, path, SourceDirOf(path), *o.device,
                               o.capacity.value_or(devsim::Config().capacity));
    out += RenderPlan(plan, o.lang, o.format);
    return ExitStatusOf(plan);
  }
  return usage(L"no command \"" + command + L"\"");
}

} // namespace vokuta::pkg
