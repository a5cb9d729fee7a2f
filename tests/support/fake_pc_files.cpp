#include "support/fake_pc_files.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "util/wildcard.h"

namespace vokuta::test {
namespace {

constexpr std::uint32_t kSettableAttrs = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool isAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool endsInSeparator(std::wstring_view path) { return !path.empty() && isSeparator(path.back()); }
bool hasDrivePrefix(std::wstring_view path) {
  return path.size() >= 2 && path[1] == L':' && isAsciiLetter(path[0]);
}
bool validName(std::wstring_view name) {
  return std::none_of(name.begin(), name.end(), [](wchar_t c) {
    return static_cast<std::uint32_t>(c) < 32 ||
           std::wstring_view(L"<>:\"|?*").find(c) != std::wstring_view::npos;
  });
}
std::wstring lastName(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

} // namespace

FakePcFiles::FakePcFiles() { addDrive(L'C'); }

std::optional<std::wstring> FakePcFiles::normalize(const std::wstring& path) const {
  std::wstring rest = path;
  wchar_t drive = currentDrive_;
  if (hasDrivePrefix(path)) {
    drive = FoldNameChar(path[0]);
    rest.erase(0, 2);
  } else if (path.empty() || (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]))) {
    return std::nullopt; // nothing, or a network share: this machine has none
  }
  const auto cwd = currentDirs_.find(drive);
  if (cwd == currentDirs_.end()) return std::nullopt;
  if (rest.empty() || !isSeparator(rest[0])) rest = cwd->second.substr(2) + L'\\' + rest;
  std::vector<std::wstring> parts;
  std::wstring part;
  for (std::size_t i = 0; i <= rest.size(); ++i) {
    if (i < rest.size() && !isSeparator(rest[i])) {
      part += rest[i];
      continue;
    }
    if (part == L"..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
    } else if (!validName(part)) {
      return std::nullopt;
    } else if (!part.empty() && part != L".") {
      parts.push_back(part);
    }
    part.clear();
  }
  std::wstring result{drive, L':'};
  for (const std::wstring& name : parts) (result += L'\\') += name;
  return result;
}

std::optional<std::wstring> FakePcFiles::resolve(const std::wstring& path) const {
  const auto normalized = normalize(path);
  return normalized ? std::optional(FoldName(*normalized)) : std::nullopt;
}

FakePcFiles::Node* FakePcFiles::nodeAt(const std::optional<std::wstring>& key) const {
  const auto it = key ? nodes_.find(*key) : nodes_.end();
  return it == nodes_.end() ? nullptr : const_cast<Node*>(&it->second);
}

FakePcFiles::Node* FakePcFiles::lookup(const std::wstring& path) const {
  Node* node = nodeAt(resolve(path));
  return node && !node->directory() && endsInSeparator(path) ? nullptr : node;
}

FakePcFiles::Node* FakePcFiles::fileAt(const std::wstring& path) const {
  Node* node = lookup(path);
  return node && !node->directory() ? node : nullptr;
}

bool FakePcFiles::hasParent(const std::wstring& key) const {
  const std::size_t cut = key.rfind(L'\\');
  const Node* parent = cut == std::wstring::npos ? nullptr : nodeAt(key.substr(0, cut));
  return parent && parent->directory();
}

std::wstring FakePcFiles::createdPath(const std::wstring& normalized) const {
  const std::size_t cut = normalized.rfind(L'\\');
  return nodes_.at(FoldName(normalized.substr(0, cut))).path + normalized.substr(cut);
}

void FakePcFiles::ensureDirectories(const std::wstring& normalized) {
  // From after "X:", whose root always exists.
  for (std::size_t cut = 2; cut < normalized.size();) {
    cut = std::min(normalized.find(L'\\', cut + 1), normalized.size());
    const std::wstring prefix = normalized.substr(0, cut);
    if (!nodes_.try_emplace(FoldName(prefix), Node{createdPath(prefix), kAttrDirectory, {}})
             .first->second.directory())
      throw std::invalid_argument("FakePcFiles: a file is in the way");
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
    const std::uint32_t attributes = it->second.attributes;
    if ((attributes & (kAttrHidden | kAttrSystem | kAttrDirectory) & ~include) != 0) continue;
    if (WildcardMatch(folded, name)) found.push_back({lastName(it->second.path), attributes});
  }
  return found;
}

void FakePcFiles::addDrive(wchar_t drive) {
  if (!isAsciiLetter(drive)) throw std::invalid_argument("FakePcFiles: not a drive letter");
  const std::wstring root{FoldNameChar(drive), L':'};
  if (nodes_.try_emplace(root, Node{root, kAttrDirectory, {}}).second) currentDirs_[root[0]] = root;
}

void FakePcFiles::addDirectory(const std::wstring& path) {
  const auto normalized = normalize(path);
  if (!normalized) throw std::invalid_argument("FakePcFiles: unusable path");
  ensureDirectories(*normalized);
}

void FakePcFiles::addFile(const std::wstring& path, const std::string& bytes,
                          std::uint32_t attributes) {
  const auto normalized = normalize(path);
  if (!normalized || normalized->size() == 2 || endsInSeparator(path))
    throw std::invalid_argument("FakePcFiles: unusable file path");
  ensureDirectories(normalized->substr(0, normalized->rfind(L'\\')));
  Node& node = nodes_.try_emplace(FoldName(*normalized), Node{createdPath(*normalized), 0, {}})
                   .first->second;
  if (node.directory()) throw std::invalid_argument("FakePcFiles: a directory is in the way");
  node.attributes = (attributes & kSettableAttrs) | kAttrArchive;
  node.bytes = bytes;
}

void FakePcFiles::setCurrentDirectory(const std::wstring& path) {
  addDirectory(path);
  currentDrive_ = (*normalize(path))[0];
  currentDirs_[currentDrive_] = *normalize(path);
}

std::optional<std::string> FakePcFiles::contents(const std::wstring& path) const {
  const Node* node = fileAt(path);
  return node ? std::optional(node->bytes) : std::nullopt;
}

std::optional<std::uint32_t> FakePcFiles::attributes(const std::wstring& path) const {
  const Node* node = lookup(path);
  return node ? std::optional(node->attributes) : std::nullopt;
}

std::vector<std::wstring> FakePcFiles::filesUnder(const std::wstring& dir) const {
  std::vector<std::wstring> files;
  const Node* node = lookup(dir);
  if (!node || !node->directory()) return files;
  const std::wstring prefix = *resolve(dir) + L'\\';
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.starts_with(prefix);
       ++it)
    if (!it->second.directory()) files.push_back(it->second.path);
  return files;
}

std::vector<FoundFile> FakePcFiles::find(const std::wstring& pattern, std::uint32_t include) {
  log.push_back(L"find " + pattern);
  const std::size_t start = hasDrivePrefix(pattern) ? 2 : 0;
  const std::size_t cut = pattern.find_last_of(L"\\/");
  const std::size_t nameStart = cut == std::wstring::npos || cut < start ? start : cut + 1;
  const std::wstring name = pattern.substr(nameStart);
  if (name.empty()) return {};
  const std::wstring dir = nameStart == 0 ? L"." : pattern.substr(0, nameStart);
  const Node* node = lookup(dir);
  if (!node || !node->directory()) return {};
  return list(*resolve(dir), name, include);
}

std::optional<std::uint64_t> FakePcFiles::fileLength(const std::wstring& path) {
  log.push_back(L"length " + path);
  const Node* node = fileAt(path);
  return node ? std::optional<std::uint64_t>(node->bytes.size()) : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> FakePcFiles::readFile(const std::wstring& path) {
  log.push_back(L"read " + path);
  const Node* node = fileAt(path);
  if (!node) return std::nullopt;
  return std::vector<std::uint8_t>(node->bytes.begin(), node->bytes.end());
}

bool FakePcFiles::writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  log.push_back(L"write " + path);
  const auto normalized = normalize(path);
  if (!normalized || endsInSeparator(path)) return false;
  const std::wstring key = FoldName(*normalized);
  Node* node = nodeAt(key);
  if (!hasParent(key) || (node && (node->attributes & (kAttrDirectory | kAttrReadOnly))))
    return false;
  if (!node) node = &nodes_.emplace(key, Node{createdPath(*normalized), 0, {}}).first->second;
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
  const Node* from = fileAt(source);
  const auto normalized = normalize(target);
  if (!from || !normalized || endsInSeparator(target)) return false;
  const std::wstring key = FoldName(*normalized), sourceKey = *resolve(source);
  // A file cannot be copied onto itself; renaming it to itself changes nothing.
  if (key == sourceKey) return move;
  const Node* existing = nodeAt(key);
  if (!hasParent(key) || (existing && (existing->attributes & (kAttrDirectory | kAttrReadOnly))))
    return false;
  Node node = *from;
  // Copying over a file keeps that file's name; a rename gives the name as written.
  node.path = existing && !move ? existing->path : createdPath(*normalized);
  if (move) nodes_.erase(sourceKey);
  nodes_[key] = std::move(node);
  return true;
}

bool FakePcFiles::deleteFile(const std::wstring& path) {
  log.push_back(L"delete " + path);
  const Node* node = fileAt(path);
  if (!node || (node->attributes & kAttrReadOnly)) return false;
  nodes_.erase(*resolve(path));
  return true;
}

bool FakePcFiles::setAttributes(const std::wstring& path, std::uint32_t attributes) {
  log.push_back(L"attrib " + path);
  Node* node = lookup(path);
  if (node) node->attributes = (attributes & kSettableAttrs) | (node->attributes & kAttrDirectory);
  return node != nullptr;
}

bool FakePcFiles::makeDirectory(const std::wstring& path) {
  log.push_back(L"mkdir " + path);
  const auto normalized = normalize(path);
  if (!normalized || nodeAt(FoldName(*normalized)) || !hasParent(FoldName(*normalized)))
    return false;
  nodes_.emplace(FoldName(*normalized), Node{createdPath(*normalized), kAttrDirectory, {}});
  return true;
}

std::wstring FakePcFiles::currentDirectory() {
  log.push_back(L"cwd");
  const std::wstring& dir = currentDirs_.at(currentDrive_);
  return dir.size() == 2 ? dir + L'\\' : dir;
}

bool FakePcFiles::setCurrentDrive(wchar_t drive) {
  log.push_back(std::wstring(L"drive ") + drive);
  if (!isAsciiLetter(drive) || !currentDirs_.count(FoldNameChar(drive))) return false;
  currentDrive_ = FoldNameChar(drive);
  return true;
}

} // namespace vokuta::test
