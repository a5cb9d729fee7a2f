#include "pkg/posix_files.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string_view>

#include "pkg/utf8.h"
#include "util/shift_jis.h"
#include "util/wildcard.h"

namespace vokuta::pkg {
namespace fs = std::filesystem;
namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring nameOf(const fs::path& p) { return DecodeUtf8(p.filename().string()); }

std::vector<std::wstring> namesOf(const std::wstring& path) {
  std::vector<std::wstring> names;
  std::wstring name;
  for (wchar_t c : path) {
    if (isSeparator(c)) {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else {
      name += c;
    }
  }
  if (!name.empty()) names.push_back(name);
  return names;
}

std::wstring windowsName(const std::wstring& name) {
  if (name == L"." || name == L"..") return name;
  const std::size_t end = name.find_last_not_of(L" .");
  return end == std::wstring::npos ? name : name.substr(0, end + 1);
}

bool existsAt(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

std::optional<FoundFile> foundOf(const fs::directory_entry& e, std::uint32_t include) {
  std::error_code ec;
  const bool directory = e.is_directory(ec);
  if (!directory && !e.is_regular_file(ec)) return std::nullopt;
  FoundFile f{nameOf(e.path()), 0};
  if (directory) f.attributes |= kAttrDirectory;
  if (f.name.starts_with(L'.')) f.attributes |= kAttrHidden;
  if (f.attributes & (kAttrDirectory | kAttrHidden) & ~include) return std::nullopt;
  return f;
}

} // namespace

const std::vector<PosixFiles::Entry>& PosixFiles::entriesOf(const fs::path& dir) {
  const fs::path key = dir.empty() ? fs::path(".") : dir;
  if (const auto it = listed_.find(key); it != listed_.end()) return it->second;
  std::vector<Entry> entries;
  std::error_code ec;
  fs::directory_iterator it(key, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::wstring name = nameOf(it->path());
    std::wstring folded = FoldName(name);
    entries.push_back({*it, std::move(name), std::move(folded)});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.folded != b.folded ? a.folded < b.folded : a.name < b.name;
  });
  return listed_.emplace(key, std::move(entries)).first->second;
}

std::optional<fs::path> PosixFiles::resolve(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return std::nullopt;
  fs::path current = !path.empty() && isSeparator(path[0]) ? fs::path("/") : fs::path();
  for (const std::wstring& raw : namesOf(path)) {
    const std::wstring name = windowsName(raw);
    const fs::path exact = current / EncodeUtf8(name);
    if (name == L"." || name == L".." || existsAt(exact)) {
      current = exact;
      continue;
    }
    const std::wstring wanted = FoldName(name);
    const auto& entries = entriesOf(current);
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const Entry& e) { return e.folded == wanted; });
    current = it == entries.end() ? exact : current / it->entry.path().filename();
  }
  return current.empty() ? fs::path(".") : current;
}

std::vector<FoundFile> PosixFiles::find(const std::wstring& pattern, std::uint32_t include) {
  std::vector<FoundFile> found;
  const std::size_t cut = pattern.find_last_of(L"\\/");
  const std::wstring last =
      windowsName(cut == std::wstring::npos ? pattern : pattern.substr(cut + 1));
  if (last.empty() || last == L"." || last == L"..") return found;
  if (last.find_first_of(L"*?") == std::wstring::npos) {
    const auto path = resolve(pattern);
    if (!path) return found;
    std::error_code ec;
    const fs::directory_entry entry(*path, ec);
    if (ec || !entry.exists(ec)) return found;
    if (auto f = foundOf(entry, include)) found.push_back(*f);
    return found;
  }
  const auto dir = resolve(cut == std::wstring::npos ? std::wstring() : pattern.substr(0, cut + 1));
  if (!dir) return found;
  const std::wstring wanted = FoldName(last);
  for (const Entry& e : entriesOf(*dir)) {
    if (!WildcardMatch(wanted, e.folded)) continue;
    if (auto f = foundOf(e.entry, include)) found.push_back(*f);
  }
  return found;
}

std::optional<std::uint64_t> PosixFiles::fileLength(const std::wstring& path) {
  const auto p = resolve(path);
  std::error_code ec;
  if (!p || !fs::is_regular_file(*p, ec)) return std::nullopt;
  const auto size = fs::file_size(*p, ec);
  if (ec) return std::nullopt;
  return size;
}

std::optional<std::vector<std::uint8_t>> PosixFiles::readFile(const std::wstring& path) {
  const auto p = resolve(path);
  std::error_code ec;
  if (!p || !fs::is_regular_file(*p, ec)) return std::nullopt;
  std::ifstream in(*p, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

std::wstring PosixFiles::currentDirectory() {
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  return ec ? std::wstring() : DecodeUtf8(cwd.string());
}

} // namespace vokuta::pkg
