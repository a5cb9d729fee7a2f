// The package tool's problems: their texts and severities.
#include "pkg/problem.h"

#include <algorithm>

#include "pkg/messages.h"

namespace vokuta::pkg {
namespace {

struct Entry {
  MessageId id;
  Severity severity;
  const char* key;
  const wchar_t* en;
  const wchar_t* ja;
};

constexpr Severity E = Severity::Error, W = Severity::Warning;

// One line per kind of problem: its severity, its name for machines and its message in both
// languages. Messages say what the installer will do, so the author can judge the fix.
constexpr Entry kEntries[] = {
    {MessageId::CannotRead, E, "cannot-read", L"cannot read {1}; the installer would stop here",
     L"{1} を読めません。インストーラはここで終了します"},
    {MessageId::TooManyRows, E, "too-many-rows",
     L"{1} rows; the installer refuses a Setup.inf of more than 199 rows and installs nothing",
     L"{1} 項目あります。199 項目を超えるセットアップ情報をインストーラは受け付けず、何も"
     L"インストールしません"},
    {MessageId::NoRows, W, "no-rows", L"no rows: the installer has nothing to install",
     L"項目がありません。インストーラがインストールするものはありません"},
    {MessageId::Utf8WithoutBom, W, "utf8-without-bom",
     L"this looks like UTF-8 without a byte-order mark; the installer reads it as CP932",
     L"バイトオーダーマークのない UTF-8 のようです。インストーラは CP932 として読みます"},
    {MessageId::Utf16, E, "utf16",
     L"UTF-16, the installer reads Shift-JIS: it refuses this file at start-up and installs "
     L"nothing",
     L"UTF-16 です。インストーラは Shift-JIS を読むため、起動時にこのファイルを受け付けず、何も"
     L"インストールしません"},
    {MessageId::NoCharacter, W, "no-character",
     L"{1} byte sequence(s) that are no character; the installer reads U+FFFD there",
     L"文字にならないバイト列が {1} 箇所あります。インストーラはそこを U+FFFD として読みます"},
    {MessageId::TooFewCommas, W, "too-few-commas",
     L"ignored: a row needs three commas, this line has {1}",
     L"無視されます。項目行にはカンマが 3 つ必要ですが、この行には {1} つです"},
    {MessageId::EmptyFileName, W, "empty-file-name", L"ignored: the file name is empty",
     L"無視されます。ファイル名が空です"},
    {MessageId::SecondPort, W, "second-port",
     L"ignored: only the first port line counts (line {1})",
     L"無視されます。有効なのは最初のポート行（{1} 行目）だけです"},
    {MessageId::PortUnclear, W, "port-unclear",
     L"the port reads as {2}: the installer reads at most two digits right after \"=\" (here "
     L"\"{1}\")",
     L"ポートは {2} と読まれます。インストーラは「=」の直後の 2 文字までの数字だけを読みます"
     L"（ここでは \"{1}\"）"},
    {MessageId::BlanksKept, W, "blanks-kept",
     L"field {1} has blanks around it, which the installer keeps: \"{2}\"",
     L"{1} 項の前後に空白があり、インストーラはそのまま使います:「{2}」"},
    {MessageId::UnknownControl, W, "unknown-control",
     L"control \"{1}\" means nothing to the installer; only \"Fini\" marks an association row",
     L"制御「{1}」はインストーラには意味がありません。関連付けの行は「Fini」だけです"},
    {MessageId::ControlBlanks, W, "control-blanks",
     L"control \"{1}\" is not \"Fini\" because of its blanks: no association is registered",
     L"制御「{1}」は空白のため「Fini」になりません。関連付けは登録されません"},
    {MessageId::AssocColumnsUnused, W, "association-columns-unused",
     L"association columns on a row without \"Fini\" are not used",
     L"「Fini」のない行の関連付けの項目は使われません"},
    {MessageId::FileNameBackslash, E, "file-name-backslash",
     L"the file name \"{1}\" holds a backslash: the installer finds the file in a subfolder but "
     L"copies it from the row's source folder",
     L"ファイル名「{1}」に「\\」があります。インストーラはサブフォルダのファイルを見つけても、"
     L"行の転送元フォルダからコピーしようとします"},
    {MessageId::SourceMissing, E, "source-missing",
     L"{1} does not exist; the installer stops the installation at this row",
     L"{1} がありません。インストーラはこの行でインストールを中止します"},
    {MessageId::WildcardNoMatch, E, "wildcard-no-match",
     L"{1} matches no file; the installer stops the installation at this row",
     L"{1} に一致するファイルがありません。インストーラはこの行でインストールを中止します"},
    {MessageId::NameTooLong, E, "name-too-long",
     L"\"{1}\" does not fit the device's 8.3 names: {2}+{3} Shift-JIS bytes",
     L"「{1}」はVokutaの 8.3 形式の名前に収まりません（Shift-JIS で {2}+{3} バイト）"},
    {MessageId::NameLastByte5C, E, "name-last-byte-5c",
     L"\"{1}\" ends in \"{2}\", whose Shift-JIS code ends in 0x5C: the device reads a path "
     L"separator there",
     L"「{1}」の最後の「{2}」は Shift-JIS の 2 バイト目が 0x5C で、Vokutaはパスの区切りと"
     L"読みます"},
    {MessageId::NameEmpty, E, "name-empty", L"\"{1}\" holds an empty name (two backslashes)",
     L"「{1}」に空の名前（連続した「\\」）があります"},
    {MessageId::NameDots, E, "name-dots",
     L"\"{1}\" cannot be a device name: it needs a base name and at most one dot",
     L"「{1}」はVokutaの名前になりません。名前の本体が必要で、ピリオドは 1 つまでです"},
    {MessageId::NameBadCharacter, E, "name-bad-character",
     L"\"{1}\" holds \"{2}\", which the device does not take in a name",
     L"「{1}」にVokutaが名前に使えない「{2}」があります"},
    {MessageId::NameReserved, E, "name-reserved",
     L"\"{1}\" is a name Windows keeps for a device: the PC cache of the device cannot hold it",
     L"「{1}」は Windows が装置に予約している名前で、PC のキャッシュに置けません"},
    {MessageId::SameDevicePath, E, "same-device-path",
     L"{1} is written by line {2} already; the later file replaces the earlier one",
     L"{1} は {2} 行目でも書き込まれます。後のファイルが前のファイルを置き換えます"},
    {MessageId::SuffixCut, W, "suffix-cut",
     L"the suffix \"{1}\" is cut to four characters: \"{2}\"",
     L"拡張子「{1}」は 4 文字に切り詰められます:「{2}」"},
    {MessageId::SuffixNotSingleByte, W, "suffix-not-single-byte",
     L"the suffix \"{1}\" holds characters the association table cannot hold (double-byte "
     L"characters, blanks); it stores 0 for them",
     L"拡張子「{1}」に関連付けの表が保持できない文字（2 バイト文字、空白）があります。表には "
     L"0 が入ります"},
    {MessageId::SuffixLooksFree, W, "suffix-looks-free",
     L"the suffix \"{1}\" does not begin with a character: the installer takes the record for a "
     L"free slot, so it is dropped or overwritten",
     L"拡張子「{1}」が文字で始まりません。インストーラはこの関連付けを空きとみなし、削除または"
     L"上書きされます"},
    {MessageId::SuffixNoDot, W, "suffix-no-dot",
     L"the suffix \"{1}\" does not begin with a dot, as the device's suffixes do (\".TBL\"): "
     L"the association probably matches no file",
     L"拡張子「{1}」がVokutaの拡張子のようにピリオドで始まりません（「.TBL」）。この関連付けは"
     L"おそらくどのファイルにも一致しません"},
    {MessageId::SmallIconTooLarge, W, "small-icon-too-large",
     L"the small icon number {1} is above FFFF; the table keeps {2}",
     L"小さいアイコン番号 {1} は FFFF を超えています。関連付けの表には {2} が入ります"},
    {MessageId::LargeIconTooLarge, W, "large-icon-too-large",
     L"the large icon address {1} is above FFFFFF",
     L"大きいアイコンアドレス {1} は FFFFFF を超えています"},
    {MessageId::IconNotHex, W, "icon-not-hex",
     L"\"{1}\" is no hexadecimal number: reading stops at \"{2}\" and gives {3}",
     L"「{1}」は 16 進数ではありません。「{2}」で読み取りが止まり {3} になります"},
    {MessageId::RepeatedSuffix, W, "repeated-suffix",
     L"the suffix \"{1}\" is registered by line {2} already; this row replaces that association",
     L"拡張子「{1}」は {2} 行目でも登録されます。この行がその関連付けを置き換えます"},
    {MessageId::AppPathCut, W, "app-path-cut",
     L"the program path {1} is longer than 32 characters; the table keeps {2}",
     L"プログラムのパス {1} は 32 文字を超えています。関連付けの表には {2} が入ります"},
    {MessageId::AppPathNotSingleByte, W, "app-path-not-single-byte",
     L"the program path {1} holds characters the association table cannot hold (double-byte "
     L"characters, blanks); it stores 0 for them, so the device cannot find the program",
     L"プログラムのパス {1} に関連付けの表が保持できない文字（2 バイト文字、空白）があります。"
     L"表には 0 が入り、Vokutaはプログラムを見つけられません"},
    {MessageId::AppPathWildcard, W, "app-path-wildcard",
     L"the program path {1} holds a wildcard; the association names no one program",
     L"プログラムのパス {1} にワイルドカードがあります。関連付けが特定のプログラムを指しません"},
};

const Entry& entryOf(MessageId id) {
  const auto it = std::find_if(std::begin(kEntries), std::end(kEntries),
                               [id](const Entry& e) { return e.id == id; });
  return *it;
}

} // namespace

Severity SeverityOf(MessageId id) { return entryOf(id).severity; }
const char* KeyOf(MessageId id) { return entryOf(id).key; }

int ExitStatusOf(const std::vector<Problem>& problems) {
  if (CountOf(problems, Severity::Error)) return 2;
  return CountOf(problems, Severity::Warning) ? 1 : 0;
}

std::size_t CountOf(const std::vector<Problem>& problems, Severity severity) {
  return static_cast<std::size_t>(std::count_if(
      problems.begin(), problems.end(), [&](const Problem& p) { return p.severity == severity; }));
}

std::wstring Fill(const std::wstring& pattern, const std::vector<std::wstring>& args) {
  std::wstring out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == L'{' && i + 2 < pattern.size() && pattern[i + 1] >= L'1' &&
        pattern[i + 1] <= L'9' && pattern[i + 2] == L'}') {
      const auto n = static_cast<std::size_t>(pattern[i + 1] - L'1');
      if (n < args.size()) out += args[n];
      i += 2;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::wstring MessageOf(const Problem& problem, Lang lang) {
  const Entry& e = entryOf(problem.id);
  return Fill(Say(lang, e.en, e.ja), problem.args);
}

std::wstring SeverityWord(Severity severity, Lang lang) {
  if (severity == Severity::Error) return Say(lang, L"error", L"エラー");
  return Say(lang, L"warning", L"警告");
}

} // namespace vokuta::pkg
