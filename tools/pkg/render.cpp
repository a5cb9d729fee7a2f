// The package tool's reports as text (English, Japanese) and JSON.
#include "pkg/render.h"

#include <algorithm>

#include "fini/fini_image.h"
#include "link/free_space.h"
#include "pkg/json.h"
#include "setupinfo/item_list.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

std::wstring num(std::uint64_t n) { return std::to_wstring(n); }
std::wstring wide(const char* text) {
  return std::wstring(text, text + std::char_traits<char>::length(text));
}
std::wstring rootIfEmpty(const std::wstring& dir) { return dir.empty() ? L"\\" : dir; }
std::wstring trimmedRight(const std::wstring& text) {
  const std::size_t end = text.find_last_not_of(L' ');
  return end == std::wstring::npos ? std::wstring() : text.substr(0, end + 1);
}

class Text {
public:
  explicit Text(Lang lang) : lang_(lang) {}
  /// Adds one line: `en` or `ja` with its arguments. Control characters of the arguments (from
  /// the files read) are shown escaped, so that none reaches the terminal.
  Text& say(const wchar_t* en, const wchar_t* ja, std::vector<std::wstring> args = {}) {
    for (std::wstring& arg : args) arg = EscapeControls(arg);
    out_ += Fill(Say(lang_, en, ja), args) + L"\n";
    return *this;
  }
  Text& raw(const std::wstring& line) {
    out_ += EscapeControls(line) + L"\n";
    return *this;
  }
  Text& blank() { return raw(L""); }
  const std::wstring& str() const { return out_; }

private:
  Lang lang_;
  std::wstring out_;
};

// ---- check ----

const char* reasonKey(IgnoredReason r) {
  switch (r) {
  case IgnoredReason::CommentOrBlank:
    return "comment-or-blank";
  case IgnoredReason::TooFewCommas:
    return "too-few-commas";
  case IgnoredReason::EmptyFileName:
    return "empty-file-name";
  case IgnoredReason::SecondPort:
    return "second-port";
  }
  return "";
}

std::wstring reasonText(IgnoredReason r, Lang lang) {
  switch (r) {
  case IgnoredReason::CommentOrBlank:
    return Say(lang, L"comment or blank", L"コメントまたは空行");
  case IgnoredReason::TooFewCommas:
    return Say(lang, L"fewer than three commas", L"カンマが 3 つ未満");
  case IgnoredReason::EmptyFileName:
    return Say(lang, L"empty file name", L"ファイル名が空");
  case IgnoredReason::SecondPort:
    return Say(lang, L"a second port line", L"2 つ目のポート行");
  }
  return {};
}

std::wstring encodingName(const CheckReport& r) {
  return r.utf16 ? L"UTF-16" : r.utf8 ? L"UTF-8" : L"CP932";
}

std::wstring problemLine(const std::wstring& file, const Problem& p, Lang lang) {
  std::wstring where = file + L":";
  if (p.line) where += num(p.line) + L":" + num(p.column) + L":";
  return where + L" " + SeverityWord(p.severity, lang) + L": " + MessageOf(p, lang) + L" [" +
         wide(KeyOf(p.id)) + L"]";
}

std::wstring checkText(const CheckReport& r, Lang lang) {
  Text t(lang);
  if (r.readable) {
    t.say(L"{1}: {2}, {3} lines, {4} rows", L"{1}: {2}、{3} 行、{4} 項目",
          {r.setupInf,
           r.utf16 ? L"UTF-16"
           : r.utf8 ? Say(lang, L"UTF-8 with byte-order mark", L"UTF-8（バイトオーダーマーク付き）")
                    : L"CP932",
           num(r.lineCount), num(r.rows.size())});
    if (r.port)
      t.say(L"Port: {1} (line {2}). A port recorded in the user's registry wins over it; this "
            L"tool cannot know that registry.",
            L"ポート: {1}（{2} 行目）。ユーザーのレジストリにポートが記録されていればそちらが"
            L"優先されます。このツールはそれを知ることができません。",
            {std::to_wstring(*r.port), num(r.portLine)});
    else if (!r.utf16) // refused before its port is read
      t.say(L"Port: not given; the installer takes the one in the user's registry or asks.",
            L"ポート: 指定なし。インストーラはユーザーのレジストリの値を使うか、尋ねます。");

    if (!r.rows.empty()) {
      t.blank().say(L"Rows as the installer stores them:", L"インストーラが記憶する項目:");
      for (const CheckedRow& row : r.rows) {
        const SetupRow& s = row.parsed.row;
        t.say(L"  line {1}: {2} -> {3}  from {4}", L"  {1} 行: {2} → {3}  転送元 {4}",
              {num(row.parsed.line), s.FileName, rootIfEmpty(s.DestPath), s.SourcePath});
        if (s.isFini())
          t.say(L"      association {1}  small icon {2}  large icon {3}  program {4}",
                L"      関連付け {1}  小アイコン {2}  大アイコン {3}  プログラム {4}",
                {trimmedRight(row.parsed.suffix), Hex4(KeptFont(row.parsed.font)),
                 Hex8(row.parsed.mmp), trimmedRight(row.app)});
        else if (!s.Control.empty())
          t.say(L"      control \"{1}\"", L"      制御「{1}」", {s.Control});
        for (const CheckedFile& f : row.files)
          t.say(L"      {1}  {2} bytes, counts {3}  -> {4}",
                L"      {1}  {2} バイト、計上 {3}  → {4}",
                {f.name, num(f.length), num(f.counted), f.devicePath});
        if (row.files.empty()) t.say(L"      (no file)", L"      （ファイルなし）");
      }
    }

    std::size_t comments = 0;
    bool heading = false;
    for (const IgnoredLine& i : r.ignored) {
      if (i.reason == IgnoredReason::CommentOrBlank) {
        ++comments;
        continue;
      }
      if (!heading) t.blank().say(L"Ignored lines:", L"無視される行:");
      heading = true;
      t.say(L"  line {1}: {2}", L"  {1} 行: {2}", {num(i.line), reasonText(i.reason, lang)});
    }
    if (comments) {
      if (!heading) t.blank().say(L"Ignored lines:", L"無視される行:");
      t.say(L"  {1} comment or blank line(s)", L"  コメントまたは空行 {1} 行", {num(comments)});
    }
  }

  if (!r.problems.empty()) {
    t.blank().say(L"Problems:", L"問題:");
    for (const Problem& p : r.problems) t.raw(L"  " + problemLine(r.setupInf, p, lang));
  }

  if (r.readable && !r.utf16) {
    t.blank().say(L"Package size by the installer's rule: {1} bytes ({2} K bytes as the "
                  L"installer shows it)",
                  L"パッケージの容量（インストーラの計算）: {1} バイト（インストーラの表示では "
                  L"{2} Kバイト）",
                  {num(r.totalBytes), TrimBlanks(FormatKBytes(r.totalBytes))});
    for (const DirectorySize& d : r.directories)
      t.say(L"  {1}: {2} bytes, {3} file(s)", L"  {1}: {2} バイト、{3} ファイル",
            {d.deviceDir, num(d.bytes), num(d.files)});
  }
  t.blank().say(
      L"{1} error(s), {2} warning(s)", L"エラー {1} 件、警告 {2} 件",
      {num(CountOf(r.problems, Severity::Error)), num(CountOf(r.problems, Severity::Warning))});
  return t.str();
}

void problemsJson(JsonWriter& j, const std::vector<Problem>& problems, Lang lang) {
  j.key("problems").beginArray();
  for (const Problem& p : problems) {
    j.beginObject()
        .key("severity")
        .value(p.severity == Severity::Error ? "error" : "warning")
        .key("line")
        .number(p.line)
        .key("column")
        .number(p.column)
        .key("id")
        .value(KeyOf(p.id))
        .key("message")
        .value(MessageOf(p, lang));
    j.endObject();
  }
  j.endArray();
  j.key("errors").number(CountOf(problems, Severity::Error));
  j.key("warnings").number(CountOf(problems, Severity::Warning));
}

std::wstring checkJson(const CheckReport& r, Lang lang) {
  JsonWriter j;
  j.beginObject().key("command").value("check");
  j.key("setupInf").value(r.setupInf).key("sourceDir").value(r.sourceDir);
  j.key("readable").flag(r.readable);
  j.key("encoding").value(encodingName(r));
  j.key("lines").number(r.lineCount);
  j.key("port");
  if (r.port) {
    // A port recorded in the user's registry wins; the tool cannot know it.
    j.beginObject()
        .key("number")
        .number(static_cast<std::uint64_t>(*r.port))
        .key("line")
        .number(r.portLine)
        .key("registryMayOverride")
        .flag(true)
        .endObject();
  } else {
    j.null();
  }
  j.key("rows").beginArray();
  for (const CheckedRow& row : r.rows) {
    const SetupRow& s = row.parsed.row;
    j.beginObject()
        .key("line")
        .number(row.parsed.line)
        .key("fileName")
        .value(s.FileName)
        .key("destPath")
        .value(s.DestPath)
        .key("sourcePath")
        .value(s.SourcePath)
        .key("control")
        .value(s.Control);
    j.key("association");
    if (s.isFini())
      j.beginObject()
          .key("suffix")
          .value(row.parsed.suffix)
          .key("font")
          .number(KeptFont(row.parsed.font))
          .key("mmp")
          .number(row.parsed.mmp)
          .key("app")
          .value(row.app)
          .endObject();
    else
      j.null();
    j.key("files").beginArray();
    for (const CheckedFile& f : row.files)
      j.beginObject()
          .key("name")
          .value(f.name)
          .key("bytes")
          .number(f.length)
          .key("counted")
          .number(f.counted)
          .key("devicePath")
          .value(f.devicePath)
          .endObject();
    j.endArray().key("countedBytes").number(row.countedBytes).endObject();
  }
  j.endArray();
  j.key("ignoredLines").beginArray();
  for (const IgnoredLine& i : r.ignored)
    j.beginObject().key("line").number(i.line).key("reason").value(reasonKey(i.reason)).endObject();
  j.endArray();
  j.key("refused").flag(r.refused);
  j.key("size").beginObject().key("total").number(r.totalBytes).key("directories").beginArray();
  for (const DirectorySize& d : r.directories)
    j.beginObject()
        .key("deviceDir")
        .value(d.deviceDir)
        .key("bytes")
        .number(d.bytes)
        .key("files")
        .number(d.files)
        .endObject();
  j.endArray().endObject();
  problemsJson(j, r.problems, lang);
  j.key("exitStatus").number(static_cast<std::uint64_t>(ExitStatusOf(r.problems)));
  j.endObject();
  return j.str();
}

// ---- ravuz ----

std::vector<const wchar_t*> flagsOf(const RavuzRecord& r, Lang lang) {
  std::vector<const wchar_t*> flags;
  if (r.reserved) flags.push_back(Say(lang, L"reserved", L"予約"));
  if (r.free && r.empty) flags.push_back(Say(lang, L"free", L"空き"));
  if (r.atRisk())
    flags.push_back(Say(lang, L"holds data but counts as free: a new association overwrites it",
                        L"データがあるのに空きとみなされます。新しい関連付けで上書きされます"));
  if (r.dropped && !r.empty)
    flags.push_back(Say(lang, L"dropped when the installer writes the table back",
                        L"インストーラが書き戻すときに削除されます"));
  return flags;
}

const char* statusKey(RavuzFile::Status s) {
  switch (s) {
  case RavuzFile::Status::Ok:
    return "ok";
  case RavuzFile::Status::CannotRead:
    return "cannot-read";
  case RavuzFile::Status::NotWholeRecords:
    return "not-whole-records";
  case RavuzFile::Status::TooManyRecords:
    return "too-many-records";
  }
  return "";
}

void recordJson(JsonWriter& j, const RavuzRecord& r, Lang lang) {
  const FiniRecord& f = r.record;
  j.beginObject()
      .key("slot")
      .number(r.slot)
      .key("suffix")
      .value(ShownField(f.suffix))
      .key("attr")
      .number(static_cast<std::uint16_t>(f.attr))
      .key("id")
      .number(static_cast<std::uint16_t>(f.id))
      .key("font")
      .number(f.font)
      .key("mmp")
      .number(f.mmp)
      .key("file")
      .value(ShownField(f.file))
      .key("app")
      .value(ShownField(f.app))
      .key("reserved")
      .flag(r.reserved)
      .key("free")
      .flag(r.free)
      .key("empty")
      .flag(r.empty)
      .key("dropped")
      .flag(r.dropped)
      .key("atRisk")
      .flag(r.atRisk());
  j.key("movesTo");
  if (r.movesTo)
    j.number(*r.movesTo);
  else
    j.null();
  j.key("notes").beginArray();
  for (const wchar_t* flag : flagsOf(r, lang)) j.value(flag);
  j.endArray().endObject();
}

void fileHeaderJson(JsonWriter& j, const RavuzFile& f, Lang lang) {
  j.key("path")
      .value(f.path)
      .key("status")
      .value(statusKey(f.status))
      .key("length")
      .number(f.length);
  j.key("message");
  if (f.status == RavuzFile::Status::Ok)
    j.null();
  else
    j.value(RefusalOf(f, lang));
}

std::wstring ravuzJson(const RavuzFile& f, Lang lang) {
  JsonWriter j;
  j.beginObject().key("command").value("ravuz");
  fileHeaderJson(j, f, lang);
  j.key("records").beginArray();
  for (const RavuzRecord& r : f.records) recordJson(j, r, lang);
  j.endArray();
  j.key("exitStatus").number(static_cast<std::uint64_t>(ExitStatusOf(f)));
  j.endObject();
  return j.str();
}

std::wstring pad(std::wstring text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), L' ');
  return text;
}

std::wstring ravuzText(const RavuzFile& f, Lang lang) {
  Text t(lang);
  if (f.status != RavuzFile::Status::Ok) return t.raw(RefusalOf(f, lang)).str();
  std::size_t atRisk = 0, moved = 0;
  t.say(L"{1}: {2} bytes, {3} records", L"{1}: {2} バイト、{3} 件",
        {f.path, num(f.length), num(f.records.size())});
  t.blank().raw(L"slot suffix attr id   font mmp      file     app");
  for (const RavuzRecord& r : f.records) {
    const FiniRecord& x = r.record;
    std::wstring row = std::wstring(r.slot < 10 ? L"   " : L"  ") + num(r.slot) + L" ";
    if (r.empty) {
      row += pad(L"", 47);
    } else {
      row += pad(Shown(x.suffix), 6) + L" " + Hex4(x.attr) + L" " + Hex4(x.id) + L" " +
             Hex4(x.font) + L" " + Hex8(x.mmp) + L" " + Shown(x.file) + L" " + ShownField(x.app);
    }
    std::wstring notes;
    for (const wchar_t* flag : flagsOf(r, lang))
      notes += (notes.empty() ? L"" : L"; ") + std::wstring(flag);
    if (r.movesTo) {
      ++moved;
      notes +=
          (notes.empty() ? L"" : L"; ") + Fill(Say(lang, L"moves to slot {1} when written back",
                                                   L"書き戻すとスロット {1} に移ります"),
                                               {num(*r.movesTo)});
    }
    if (r.atRisk()) ++atRisk;
    t.raw(trimmedRight(row) + (notes.empty() ? L"" : L"  (" + notes + L")"));
  }
  t.blank().say(L"{1} records at risk, {2} that move when written back",
                L"失われるおそれのある関連付け {1} 件、書き戻しで移る関連付け {2} 件",
                {num(atRisk), num(moved)});
  return t.str();
}

const char* kindKey(SlotChange::Kind k) {
  switch (k) {
  case SlotChange::Kind::Added:
    return "added";
  case SlotChange::Kind::Removed:
    return "removed";
  case SlotChange::Kind::Changed:
    return "changed";
  }
  return "";
}

std::wstring kindText(SlotChange::Kind k, Lang lang) {
  switch (k) {
  case SlotChange::Kind::Added:
    return Say(lang, L"added", L"追加");
  case SlotChange::Kind::Removed:
    return Say(lang, L"removed", L"削除");
  case SlotChange::Kind::Changed:
    return Say(lang, L"changed", L"変更");
  }
  return {};
}

std::wstring diffText(const RavuzDiff& d, Lang lang) {
  Text t(lang);
  for (const RavuzFile* f : {&d.a, &d.b})
    if (f->status != RavuzFile::Status::Ok) t.raw(RefusalOf(*f, lang));
  if (ExitStatusOf(d) == 2) return t.str();
  t.say(L"A: {1} ({2} records)", L"A: {1}（{2} 件）", {d.a.path, num(d.a.records.size())});
  t.say(L"B: {1} ({2} records)", L"B: {1}（{2} 件）", {d.b.path, num(d.b.records.size())});
  t.blank();
  for (const SlotChange& c : d.changes) {
    t.say(L"slot {1}: {2}", L"スロット {1}: {2}", {num(c.slot), kindText(c.kind, lang)});
    for (const FieldChange& f : c.fields)
      t.raw(L"  " + pad(wide(f.field), 7) + L"\"" + f.before + L"\" -> \"" + f.after + L"\"");
  }
  if (d.changes.empty())
    t.say(L"The tables are the same.", L"2 つの表は同じです。");
  else
    t.blank().say(L"{1} slots differ", L"{1} スロットが異なります", {num(d.changes.size())});
  return t.str();
}

std::wstring diffJson(const RavuzDiff& d, Lang lang) {
  JsonWriter j;
  j.beginObject().key("command").value("ravuz-diff");
  for (const auto& [name, f] : {std::pair{"a", &d.a}, std::pair{"b", &d.b}}) {
    j.key(name).beginObject();
    fileHeaderJson(j, *f, lang);
    j.key("records").number(f->records.size()).endObject();
  }
  j.key("changes").beginArray();
  for (const SlotChange& c : d.changes) {
    j.beginObject().key("slot").number(c.slot).key("kind").value(kindKey(c.kind));
    j.key("fields").beginArray();
    for (const FieldChange& f : c.fields)
      j.beginObject()
          .key("field")
          .value(f.field)
          .key("before")
          .value(f.before)
          .key("after")
          .value(f.after)
          .endObject();
    j.endArray().endObject();
  }
  j.endArray();
  j.key("exitStatus").number(static_cast<std::uint64_t>(ExitStatusOf(d)));
  j.endObject();
  return j.str();
}

// ---- plan ----

const char* stepKey(PlanStep::Kind k) {
  switch (k) {
  case PlanStep::Kind::CreateDir:
    return "create-directory";
  case PlanStep::Kind::Write:
    return "write";
  case PlanStep::Kind::Replace:
    return "replace";
  case PlanStep::Kind::Fail:
    return "fail";
  case PlanStep::Kind::Association:
    return "association";
  }
  return "";
}

const char* reasonKey(FailReason r) {
  switch (r) {
  case FailReason::PcFileMissing:
    return "pc-file-missing";
  case FailReason::DeviceCannotHold:
    return "device-cannot-hold";
  case FailReason::DirIsFile:
    return "directory-is-a-file";
  case FailReason::NoRoom:
    return "no-room";
  }
  return "";
}

std::wstring reasonText(FailReason r, Lang lang) {
  switch (r) {
  case FailReason::PcFileMissing:
    return Say(lang, L"the PC file is missing", L"PC のファイルがありません");
  case FailReason::DeviceCannotHold:
    return Say(lang, L"the device cannot hold this path", L"Vokutaはこのパスを扱えません");
  case FailReason::DirIsFile:
    return Say(lang, L"a file on the device stands where a directory is needed",
               L"ディレクトリの場所にVokutaのファイルがあります");
  case FailReason::NoRoom:
    return Say(lang, L"the device's memory is full", L"Vokutaのメモリが足りません");
  }
  return {};
}

const char* mergeKey(Merge m) {
  switch (m) {
  case Merge::Added:
    return "added";
  case Merge::Unchanged:
    return "unchanged";
  case Merge::Updated:
    return "updated";
  case Merge::NeedsSlot:
    return "needs-free-slot";
  }
  return "";
}

std::wstring where(const PlanStep& s, Lang lang) {
  if (s.line == 0) return Say(lang, L"write-back", L"書き戻し");
  return Fill(Say(lang, L"line {1}", L"{1} 行"), {num(s.line)});
}

std::wstring stepText(const PlanStep& s, Lang lang) {
  const std::wstring at = L"  " + pad(where(s, lang), 10) + L" ";
  switch (s.kind) {
  case PlanStep::Kind::CreateDir:
    return at + Fill(Say(lang, L"create directory {1}", L"ディレクトリ作成 {1}"), {s.devicePath});
  case PlanStep::Kind::Write:
    return at + Fill(Say(lang, L"write   {1}  {2} bytes", L"書き込み {1}  {2} バイト"),
                     {s.devicePath, num(s.bytes)});
  case PlanStep::Kind::Replace:
    return at + Fill(Say(lang, L"replace {1}  {2} bytes (was {3})",
                         L"置き換え {1}  {2} バイト（元 {3}）"),
                     {s.devicePath, num(s.bytes), num(s.oldBytes)});
  case PlanStep::Kind::Fail:
    return at + Fill(Say(lang, L"FAILS   {1}: {2} ({3})", L"失敗     {1}: {2}（{3}）"),
                     {s.devicePath, reasonText(s.reason, lang), s.pcPath});
  case PlanStep::Kind::Association:
    break;
  }
  std::wstring what;
  switch (s.merge) {
  case Merge::Added:
    what = Fill(Say(lang, L"added in slot {1}", L"スロット {1} に追加"), {num(s.slot)});
    break;
  case Merge::Unchanged:
    what = Fill(Say(lang, L"unchanged in slot {1}", L"スロット {1} のまま変更なし"), {num(s.slot)});
    break;
  case Merge::Updated:
    what = Fill(Say(lang, L"updated in slot {1}", L"スロット {1} を更新"), {num(s.slot)});
    if (s.notice)
      what += Say(lang, L"; the installer tells the user that the program changes",
                  L"。プログラムが変わることをユーザーに知らせます");
    if (s.asks)
      what += Say(lang, L"; the installer asks the user first (the plan takes OK)",
                  L"。先にユーザーに確認します（OK として計画）");
    break;
  case Merge::NeedsSlot:
    what = Say(lang, L"no free slot: the installer asks the user which association to give up",
               L"空きスロットがありません。どの関連付けを削除するかユーザーに尋ねます");
    break;
  }
  return at + Fill(Say(lang, L"association {1} -> {2}: {3}", L"関連付け {1} → {2}: {3}"),
                   {s.suffix, s.app, what});
}

std::wstring planText(const Plan& p, Lang lang) {
  Text t(lang);
  if (p.load == Plan::Load::CannotRead)
    return t
        .say(L"{1}: cannot read it; the installer would stop.",
             L"{1}: 読めません。インストーラは終了します。", {p.setupInf})
        .str();
  if (p.load == Plan::Load::Utf16)
    return t
        .say(L"{1}: UTF-16; the installer reads Shift-JIS, refuses it and installs nothing.",
             L"{1}: UTF-16 です。インストーラは Shift-JIS を読むため受け付けず、何もインストール"
             L"しません。",
             {p.setupInf})
        .str();
  if (p.load == Plan::Load::TooManyRows)
    return t
        .say(L"{1}: more than 199 rows; the installer refuses it and installs nothing.",
             L"{1}: 199 項目を超えています。インストーラは受け付けず、何もインストールしません。",
             {p.setupInf})
        .str();
  t.say(
      L"Plan for {1} on the device folder {2} (capacity {3} bytes). Nothing is written.",
      L"{1} を装置フォルダ {2}（容量 {3} バイト）にインストールする計画です。何も書き込みません。",
      {p.setupInf, p.deviceDir, num(p.capacity)});
  t.say(L"Free space before: {1} bytes ({2} bytes used).",
        L"インストール前の空き容量: {1} バイト（使用 {2} バイト）",
        {num(p.freeBefore()), num(p.usedBefore)});
  if (p.spaceAsks)
    t.say(L"The package counts {1} bytes by the installer's rule; with the {2}-byte reserve that "
          L"is more than the {3} bytes free: the installer warns and asks whether to go on (the "
          L"plan goes on).",
          L"パッケージはインストーラの計算で {1} バイトです。予備の {2} バイトを加えると空き {3} "
          L"バイトを超えるため、インストーラは警告して続けるか尋ねます（続けるとして計画）。",
          {num(p.packageBytes), num(static_cast<std::uint64_t>(kFreeSpaceReserve)),
           num(p.freeReported)});
  else
    t.say(L"The package counts {1} bytes by the installer's rule; with the {2}-byte reserve the "
          L"installer's free-space check passes.",
          L"パッケージはインストーラの計算で {1} バイトです。予備の {2} バイトを加えても空き容量の"
          L"確認を通ります。",
          {num(p.packageBytes), num(static_cast<std::uint64_t>(kFreeSpaceReserve))});
  const bool merged = std::any_of(p.steps.begin(), p.steps.end(), [](const PlanStep& s) {
    return s.kind == PlanStep::Kind::Association;
  });
  if (merged && !p.ravuzFound)
    t.say(L"The device has no \\SYSTEM\\RAVUZ.INI: the installer says so and starts an empty "
          L"association table.",
          L"Vokutaに \\SYSTEM\\RAVUZ.INI がありません。インストーラはそれを知らせ、空の関連付けの"
          L"表から始めます。");
  t.blank();
  for (const PlanStep& s : p.steps) t.raw(stepText(s, lang));
  if (p.stoppedAt && p.rowsNotReached)
    t.blank().say(L"The installer stops here: {1} later rows are not installed and no "
                  L"association is written.",
                  L"インストーラはここで中止します。後の {1} 項目はインストールされず、関連付けも"
                  L"書き込まれません。",
                  {num(p.rowsNotReached)});
  else if (p.stoppedAt)
    t.blank().say(L"The installer stops here: no association is written.",
                  L"インストーラはここで中止します。関連付けは書き込まれません。");
  t.blank().say(L"Free space after: {1} bytes ({2} bytes used).",
                L"インストール後の空き容量: {1} バイト（使用 {2} バイト）",
                {num(p.freeAfter()), num(p.usedAfter)});
  return t.str();
}

std::wstring planJson(const Plan& p, Lang lang) {
  static const char* const loads[] = {"ok", "cannot-read", "too-many-rows", "utf16"};
  JsonWriter j;
  j.beginObject().key("command").value("plan");
  j.key("setupInf").value(p.setupInf).key("deviceDir").value(p.deviceDir);
  j.key("load").value(loads[static_cast<int>(p.load)]);
  j.key("capacity").number(p.capacity);
  j.key("usedBefore").number(p.usedBefore).key("freeBefore").number(p.freeBefore());
  j.key("packageBytes")
      .number(p.packageBytes)
      .key("reserve")
      .number(static_cast<std::uint64_t>(kFreeSpaceReserve));
  j.key("spaceCheckAsks").flag(p.spaceAsks);
  j.key("ravuzFound").flag(p.ravuzFound).key("ravuzWritten").flag(p.ravuzWritten);
  j.key("steps").beginArray();
  for (const PlanStep& s : p.steps) {
    j.beginObject().key("line").number(s.line).key("kind").value(stepKey(s.kind));
    switch (s.kind) {
    case PlanStep::Kind::CreateDir:
      j.key("devicePath").value(s.devicePath);
      break;
    case PlanStep::Kind::Write:
    case PlanStep::Kind::Replace:
      j.key("devicePath")
          .value(s.devicePath)
          .key("pcPath")
          .value(s.pcPath)
          .key("bytes")
          .number(s.bytes);
      if (s.kind == PlanStep::Kind::Replace) j.key("oldBytes").number(s.oldBytes);
      break;
    case PlanStep::Kind::Fail:
      j.key("devicePath").value(s.devicePath).key("pcPath").value(s.pcPath);
      j.key("reason").value(reasonKey(s.reason));
      break;
    case PlanStep::Kind::Association:
      j.key("suffix").value(s.suffix).key("app").value(s.app).key("merge").value(mergeKey(s.merge));
      j.key("slot");
      if (s.merge == Merge::NeedsSlot)
        j.null();
      else
        j.number(s.slot);
      j.key("notice").flag(s.notice).key("asks").flag(s.asks);
      break;
    }
    j.key("text").value(TrimBlanks(stepText(s, lang)));
    j.endObject();
  }
  j.endArray();
  j.key("stopped").flag(p.stoppedAt.has_value()).key("rowsNotReached").number(p.rowsNotReached);
  j.key("usedAfter").number(p.usedAfter).key("freeAfter").number(p.freeAfter());
  j.key("exitStatus").number(static_cast<std::uint64_t>(ExitStatusOf(p)));
  j.endObject();
  return j.str();
}

} // namespace

std::wstring RefusalOf(const RavuzFile& f, Lang lang) {
  const std::wstring whatIsRead =
      Say(lang,
          L" This tool reads only whole 54-byte records, at most 64 (3456 bytes). The installer "
          L"would read the first 64 records, take missing bytes as 0, and write back only the "
          L"reserved slots and the records whose suffix is not empty.",
          L"このツールが読むのは 54 バイト単位の完全な関連付け 64 件（3456 バイト）までです。"
          L"インストーラは最初の 64 件を読み、足りないバイトは 0 とし、書き戻すのは予約スロットと"
          L"拡張子が空でない関連付けだけです。");
  switch (f.status) {
  case RavuzFile::Status::Ok:
    return {};
  case RavuzFile::Status::CannotRead:
    return Fill(Say(lang, L"{1}: cannot read it.", L"{1}: 読めません。"), {f.path});
  case RavuzFile::Status::NotWholeRecords:
    return Fill(Say(lang,
                    L"{1}: {2} bytes are no whole number of 54-byte records ({3} whole records and "
                    L"{4} bytes).",
                    L"{1}: {2} バイトは 54 バイトの関連付けの整数倍ではありません（{3} 件と {4} "
                    L"バイト）。"),
                {f.path, num(f.length), num(f.length / kFiniRecordBytes),
                 num(f.length % kFiniRecordBytes)}) +
           whatIsRead;
  case RavuzFile::Status::TooManyRecords:
    return Fill(Say(lang, L"{1}: {2} records, more than the table's 64 slots.",
                    L"{1}: {2} 件あり、表の 64 スロットを超えています。"),
                {f.path, num(f.length / kFiniRecordBytes)}) +
           whatIsRead;
  }
  return {};
}

std::wstring RenderCheck(const CheckReport& report, Lang lang, Format format) {
  return format == Format::Json ? checkJson(report, lang) : checkText(report, lang);
}
std::wstring RenderRavuz(const RavuzFile& file, Lang lang, Format format) {
  return format == Format::Json ? ravuzJson(file, lang) : ravuzText(file, lang);
}
std::wstring RenderDiff(const RavuzDiff& diff, Lang lang, Format format) {
  return format == Format::Json ? diffJson(diff, lang) : diffText(diff, lang);
}
std::wstring RenderPlan(const Plan& plan, Lang lang, Format format) {
  return format == Format::Json ? planJson(plan, lang) : planText(plan, lang);
}

} // namespace vokuta::pkg
