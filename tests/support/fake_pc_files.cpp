#include "support/fake_pc_files.h"

#include <stdexcept>
#include <string_view>
#include <utility>

#include "util/wildcard.h"

namespace vokuta::test {
namespace {

constexpr std::uint32_t kSettableAttrs = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
constexpr std::uint32_t kFilteredAttrs = kAttrHidden | kAttrSystem | kAttrDirectory;

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool isAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool endsInSeparator(std::wstring_view path) { return !path.empty() && isSeparator(path.back()); }
bool hasDrivePrefix(std::wstring_view path) {
  return path.size() >= 2 && path[1] == L':' && isAsciiLetter(path[0]);
}

bool validName(std::wstring_view name) {
  for (wchar_t c : name) {
    if (static_cast<std::uint32_t>(c) < 32 ||
        std::wstring_view(L"<>:\"|?*").find(c) != std::wstring_view::npos)
      return false;
  }
  return true;
}

std::wstring lastName(const std::wstring& normalized) {
  const std::size_t cut = normalized.rfind(L'\\');
  return cut == std::wstring::npos ? normalized : normalized.substr(cut + 1);
}

template <class Node> bool replaceable(const Node* existing) {
  return !existing || (!existing->directory && !(existing->attributes & kAttrReadOnly));
}

std::uint32_t shownAttributes(bool directory, std::uint32_t attributes) {
  return attributes | (directory ? kAttrDirectory : 0u);
}

[[noreturn]] void setupError(const char* what, const std::wstring& path) {
  std::string narrow;
  for (wchar_t c : path) narrow.push_back(c > 0 && c < 0x7F ? static_cast<char>(c) : '?');
  throw std::invalid_argument(std::string("FakePcFiles: ") + what + ": " + narrow);
}

} // namespace

FakePcFiles::FakePcFiles() { addDrive(L'C'); }

std::optional<std::wstring> FakePcFiles::normalize(const std::wstring& path) const {
  if (path.empty()) return std::nullopt;
  std::wstring_view rest = path;
  wchar_t drive = currentDrive_;
  if (hasDrivePrefix(path)) {
    drive = FoldNameChar(path[0]);
    rest.remove_prefix(2);
  } else if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
    return std::nullopt; // a network share: this machine has none
  }
  const auto cwd = currentDirs_.find(drive);
  if (cwd == currentDirs_.end()) return std::nullopt;

  std::vector<std::wstring_view> parts;
  const auto append = [&parts](std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
      std::size_t end = i;
      while (end < text.size() && !isSeparator(text[end])) ++end;
      const std::wstring_view part = text.substr(i, end - i);
      i = end + 1;
      if (part.empty() || part == L".") continue;
      if (part == L"..") {
        if (parts.empty()) return false;
        parts.pop_back();
      } else if (!validName(part)) {
        return false;
      } else {
        parts.push_back(part);
      }
    }
    return true;
  };
  if (rest.empty() || !isSeparator(rest[0])) append(std::wstring_view(cwd->second).substr(2));
  if (!append(rest)) return std::nullopt;

  std::wstring result{drive, L':'};
  for (std::wstring_view part : parts) (result += L'\\') += part;
  return result;
}

std::optional<std::wstring> FakePcFiles::resolve(const std::wstring& path) const {
  auto normalized = normalize(path);
  if (!normalized) return std::nullopt;
  return FoldName(*normalized);
}

const FakePcFiles::Node* FakePcFiles::nodeAt(const std::optional<std::wstring>& key) const {
  if (!key) return nullptr;
  const auto it = nodes_.find(*key);
  return it == nodes_.end() ? nullptr : &it->second;
}

FakePcFiles::Node* FakePcFiles::nodeAt(const std::optional<std::wstring>& key) {
  return const_cast<Node*>(std::as_const(*this).nodeAt(key));
}

const FakePcFiles::Node* FakePcFiles::lookup(const std::wstring& path) const {
  const Node* node = nodeAt(resolve(path));
  if (node && !node->directory && endsInSeparator(path)) return nullptr;
  return node;
}

FakePcFiles::Node* FakePcFiles::lookup(const std::wstring& path) {
  return const_cast<Node*>(std::as_const(*this).lookup(path));
}

const FakePcFiles::Node* FakePcFiles::usableFile(const std::wstring& path) const {
  const Node* node = lookup(path);
  if (!node || node->directory) return nullptr;
  return node;
}

const FakePcFiles::Node* FakePcFiles::parentDirectory(const std::wstring& key) const {
  const std::size_t cut = key.rfind(L'\\');
  if (cut == std::wstring::npos) return nullptr; // a drive root
  const Node* parent = nodeAt(key.substr(0, cut));
  return parent && parent->directory ? parent : nullptr;
}

std::wstring FakePcFiles::createdPath(const std::wstring& key) const {
  std::wstring path;
  std::size_t cut = 0;
  while (cut != std::wstring::npos) {
    cut = key.find(L'\\', cut + 1);
    if (!path.empty()) path += L'\\';
    path += nodes_.at(key.substr(0, cut)).name;
  }
  return path;
}

void FakePcFiles::ensureDirectories(const std::wstring& normalized) {
  std::size_t cut = 2; // after "X:", whose root always exists
  while (cut != std::wstring::npos) {
    cut = normalized.find(L'\\', cut + 1);
    const std::wstring prefix = normalized.substr(0, cut);
    const Node& node =
        nodes_.try_emplace(FoldName(prefix), Node{lastName(prefix), true, 0, {}}).first->second;
    if (!node.directory) setupError("a file is in the way", normalized);
  }
}

std::vector<FoundFile> FakePcFiles::list(const std::wstring& dirKey, const std::wstring& pattern,
                                         std::uint32_t include) const {
  std::vector<FoundFile> found;
  const std::wstring prefix = dirKey + L'\\';
  const std::wstring folded = FoldName(pattern);
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.starts_with(prefix);
       ++it) {
    const std::wstring_view name = std::wstring_view(it->first).substr(prefix.size());
    if (name.find(L'\\') != std::wstring_view::npos) continue; // deeper down
    const std::uint32_t attributes = shownAttributes(it->second.directory, it->second.attributes);
    if ((attributes & kFilteredAttrs & ~include) != 0) continue;
    if (WildcardMatch(folded, name)) found.push_back({it->second.name, attributes});
  }
  return found;
}

void FakePcFiles::addDrive(wchar_t drive) {
  if (!isAsciiLetter(drive)) setupError("not a drive letter", std::wstring(1, drive));
  const wchar_t letter = FoldNameChar(drive);
  const std::wstring root{letter, L':'};
  if (nodes_.try_emplace(root, Node{root, true, 0, {}}).second) currentDirs_[letter] = root;
}

void FakePcFiles::addDirectory(const std::wstring& path) {
  const auto normalized = normalize(path);
  if (!normalized) setupError("unusable path", path);
  ensureDirectories(*normalized);
}

void FakePcFiles::addFile(const std::wstring& path, const std::string& bytes,
                          std::uint32_t attributes) {
  const auto normalized = normalize(path);
  if (!normalized || normalized->size() == 2 || endsInSeparator(path))
    setupError("unusable file path", path);
  ensureDirectories(normalized->substr(0, normalized->rfind(L'\\')));
  Node& node = nodes_.try_emplace(FoldName(*normalized), Node{lastName(*normalized), false, 0, {}})
                   .first->second;
  if (node.directory) setupError("a directory is in the way", path);
  node.attributes = (attributes & kSettableAttrs) | kAttrArchive;
  node.bytes = bytes;
}

void FakePcFiles::setCurrentDirectory(const std::wstring& path) {
  const auto normalized = normalize(path);
  if (!normalized) setupError("unusable path", path);
  ensureDirectories(*normalized);
  currentDrive_ = (*normalized)[0];
  currentDirs_[currentDrive_] = *normalized;
}

bool FakePcFiles::exists(const std::wstring& path) const { return lookup(path) != nullptr; }

bool FakePcFiles::isDirectory(const std::wstring& path) const {
  const Node* node = lookup(path);
  return node && node->directory;
}

std::optional<std::string> FakePcFiles::contents(const std::wstring& path) const {
  const Node* node = lookup(path);
  if (!node || node->directory) return std::nullopt;
  return node->bytes;
}

std::optional<std::uint32_t> FakePcFiles::attributes(const std::wstring& path) const {
  const Node* node = lookup(path);
  if (!node) return std::nullopt;
  return shownAttributes(node->directory, node->attributes);
}

std::vector<std::wstring> FakePcFiles::filesUnder(const std::wstring& dir) const {
  std::vector<std::wstring> files;
  const auto key = resolve(dir);
  const Node* node = lookup(dir);
  if (!node || !node->directory) return files;
  const std::wstring prefix = *key + L'\\';
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.starts_with(prefix);
       ++it) {
    if (!it->second.directory) files.push_back(createdPath(it->first));
  }
  return files;
}

std::vector<FoundFile> FakePcFiles::find(const std::wstring& pattern, std::uint32_t include) {
  log.push_back(L"find " + pattern);
  const std::size_t start = hasDrivePrefix(pattern) ? 2 : 0;
  const std::size_t cut = pattern.find_last_of(L"\\/");
  const std::size_t nameStart = cut == std::wstring::npos || cut < start ? start : cut + 1;
  const std::wstring name = pattern.substr(nameStart);
  if (name.empty()) return {};

  if (name.find_first_of(L"*?") == std::wstring::npos) {
    // Without wildcards the search finds the entry itself, after "." and ".." are resolved.
    const auto key = resolve(pattern);
    if (!key) return {};
    const std::size_t keyCut = key->rfind(L'\\');
    if (keyCut == std::wstring::npos) return {}; // a drive root is no entry of anything
    return list(key->substr(0, keyCut), key->substr(keyCut + 1), include);
  }
  const std::wstring dir = pattern.substr(0, nameStart);
  const std::wstring dirPath = dir.empty() ? L"." : dir;
  const auto dirKey = resolve(dirPath);
  const Node* node = lookup(dirPath);
  if (!node || !node->directory) return {};
  return list(*dirKey, name, include);
}

std::optional<std::uint64_t> FakePcFiles::fileLength(const std::wstring& path) {
  log.push_back(L"length " + path);
  const Node* node = usableFile(path);
  if (!node) return std::nullopt;
  return node->bytes.size();
}

std::optional<std::vector<std::uint8_t>> FakePcFiles::readFile(const std::wstring& path) {
  log.push_back(L"read " + path);
  const Node* node = usableFile(path);
  if (!node) return std::nullopt;
  return std::vector<std::uint8_t>(node->bytes.begin(), node->bytes.end());
}

bool FakePcFiles::writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  log.push_back(L"write " + path);
  const auto normalized = normalize(path);
  if (!normalized || endsInSeparator(path)) return false;
  const std::wstring key = FoldName(*normalized);
  if (!parentDirectory(key)) return false;
  Node* node = nodeAt(key);
  if (!replaceable(node)) return false;
  if (!node) node = &nodes_.emplace(key, Node{lastName(*normalized), false, 0, {}}).first->second;
  node->attributes |= kAttrArchive; // a replaced file keeps its other attributes
  node->bytes.assign(bytes.begin(), bytes.end());
  return true;
}

bool FakePcFiles::copyFile(const std::wstring& source, const std::wstring& target) {
  log.push_back(L"copy " + source + L" -> " + target);
  return transfer(source, target, false);
}

bool FakePcFiles::moveFile(const std::wstring& source, const std::wstring& target) {
  log.push_back(L"move " + source + L" -> " + target);
  return transfer(source, target, true);
}

bool FakePcFiles::transfer(const std::wstring& source, const std::wstring& target, bool move) {
  const auto sourceKey = resolve(source);
  const Node* from = usableFile(source);
  const auto normalized = normalize(target);
  if (!from || !normalized || endsInSeparator(target)) return false;
  const std::wstring key = FoldName(*normalized);
  // A file cannot be copied onto itself; renaming it to itself changes nothing.
  if (key == *sourceKey) return move;
  const Node* existing = nodeAt(key);
  if (!parentDirectory(key) || !replaceable(existing)) return false;
  Node node = *from;
  // Copying over a file keeps that file's name; a rename gives the name as written.
  node.name = existing && !move ? existing->name : lastName(*normalized);
  if (move) nodes_.erase(*sourceKey);
  nodes_[key] = std::move(node);
  return true;
}

bool FakePcFiles::deleteFile(const std::wstring& path) {
  log.push_back(L"delete " + path);
  const auto key = resolve(path);
  const Node* node = usableFile(path);
  if (!node || (node->attributes & kAttrReadOnly)) return false;
  nodes_.erase(*key);
  return true;
}

bool FakePcFiles::setAttributes(const std::wstring& path, std::uint32_t attributes) {
  log.push_back(L"attrib " + path);
  Node* node = lookup(path);
  if (!node) return false;
  node->attributes = attributes & kSettableAttrs;
  return true;
}

bool FakePcFiles::makeDirectory(const std::wstring& path) {
  log.push_back(L"mkdir " + path);
  const auto normalized = normalize(path);
  if (!normalized) return false;
  const std::wstring key = FoldName(*normalized);
  if (nodeAt(key) || !parentDirectory(key)) return false;
  nodes_.emplace(key, Node{lastName(*normalized), true, 0, {}});
  return true;
}

std::wstring FakePcFiles::currentDirectory() {
  log.push_back(L"cwd");
  const std::wstring& dir = currentDirs_.at(currentDrive_);
  return dir.size() == 2 ? dir + L'\\' : dir;
}

bool FakePcFiles::setCurrentDrive(wchar_t drive) {
  log.push_back(std::wstring(L"drive ") + drive);
  const wchar_t letter = FoldNameChar(drive);
  if (!isAsciiLetter(drive) || !currentDirs_.count(letter)) return false;
  currentDrive_ = letter;
  return true;
}

} // namespace vokuta::test
