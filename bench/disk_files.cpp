#include "disk_files.h"

#include <fstream>
#include <iterator>

#include "util/wildcard.h"

namespace vokuta::bench {
namespace fs = std::filesystem;

fs::path DiskFiles::host(const std::wstring& path) const {
  std::wstring rest = path;
  if (rest.size() >= 2 && rest[1] == L':') rest.erase(0, 2);
  fs::path out = root_;
  std::wstring name;
  for (wchar_t c : rest + L"\\") {
    if (c != L'\\') {
      name += c;
    } else if (!name.empty()) {
      out /= name;
      name.clear();
    }
  }
  return out;
}

std::vector<FoundFile> DiskFiles::find(const std::wstring& pattern, std::uint32_t include) {
  std::vector<FoundFile> found;
  const std::size_t cut = pattern.rfind(L'\\');
  const std::wstring last = cut == std::wstring::npos ? pattern : pattern.substr(cut + 1);
  auto add = [&](const fs::directory_entry& e) {
    std::error_code ec;
    const std::uint32_t attributes = e.is_directory(ec) ? std::uint32_t{kAttrDirectory} : 0;
    if (attributes & ~include) return;
    found.push_back({e.path().filename().wstring(), attributes});
  };
  std::error_code ec;
  if (last.find_first_of(L"*?") == std::wstring::npos) {
    const fs::directory_entry e(host(pattern), ec);
    if (!ec && e.exists(ec)) add(e);
    return found;
  }
  const std::wstring wanted = FoldName(last);
  fs::directory_iterator it(host(pattern.substr(0, cut == std::wstring::npos ? 0 : cut)), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec))
    if (WildcardMatch(wanted, FoldName(it->path().filename().wstring()))) add(*it);
  return found;
}

std::optional<std::uint64_t> DiskFiles::fileLength(const std::wstring& path) {
  std::error_code ec;
  const auto size = fs::file_size(host(path), ec);
  if (ec) return std::nullopt;
  return size;
}

std::optional<std::vector<std::uint8_t>> DiskFiles::readFile(const std::wstring& path) {
  std::ifstream in(host(path), std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
}

bool DiskFiles::writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(host(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool DiskFiles::copyFile(const std::wstring& source, const std::wstring& target) {
  std::error_code ec;
  return fs::copy_file(host(source), host(target), fs::copy_options::overwrite_existing, ec);
}

bool DiskFiles::moveFile(const std::wstring& source, const std::wstring& target) {
  std::error_code ec;
  fs::rename(host(source), host(target), ec);
  return !ec;
}

bool DiskFiles::deleteFile(const std::wstring& path) {
  std::error_code ec;
  return fs::remove(host(path), ec);
}

bool DiskFiles::makeDirectory(const std::wstring& path) {
  std::error_code ec;
  return fs::create_directory(host(path), ec);
}

} // namespace vokuta::bench
