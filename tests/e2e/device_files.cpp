#include "device_files.h"

#include <algorithm>

#include "win32/win.h"

namespace vokuta::drive {
namespace {

struct Record {
  std::string suffix;
  std::uint16_t attr = 0, id = 0, font = 0;
  std::uint32_t mmp = 0;
  std::string file, app;
};

void putText(Bytes& out, std::size_t at, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width && i < text.size(); ++i)
    out[at + i] = static_cast<std::uint8_t>(text[i]);
}

void putNumber(Bytes& out, std::size_t at, std::uint32_t value, std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The layout of a record: suffix 4, attr 2, id 2, font 2, mmp 4 (little-endian), file 8,
// app 32; texts padded with zero bytes.
void putRecord(Bytes& out, std::size_t slot, const Record& r) {
  const std::size_t at = slot * kRecordBytes;
  putText(out, at, r.suffix, 4);
  putNumber(out, at + 4, r.attr, 2);
  putNumber(out, at + 6, r.id, 2);
  putNumber(out, at + 8, r.font, 2);
  putNumber(out, at + 10, r.mmp, 4);
  putText(out, at + 14, r.file, 8);
  putText(out, at + 22, r.app, 32);
}

std::wstring hexDigits(std::uint32_t value, int digits) {
  std::wstring out(static_cast<std::size_t>(digits), L'0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4)
    out[static_cast<std::size_t>(i)] = L"0123456789ABCDEF"[value & 0xF];
  return out;
}

std::wstring text(const std::uint8_t* bytes, std::size_t width) {
  while (width > 0 && bytes[width - 1] == 0) --width;
  std::wstring out;
  for (std::size_t i = 0; i < width; ++i) {
    if (bytes[i] == 0) {
      out += L'\0';
      continue;
    }
    wchar_t c = 0;
    const char b = static_cast<char>(bytes[i]);
    if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, &b, 1, &c, 1) != 1) c = 0xFFFD;
    out += c;
  }
  return out;
}

std::uint32_t number(const std::uint8_t* bytes, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value |= std::uint32_t{bytes[i]} << (8 * i);
  return value;
}

} // namespace

std::optional<Bytes> ReadBytes(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  Bytes bytes;
  std::uint8_t buf[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr) != FALSE) && got > 0)
    bytes.insert(bytes.end(), buf, buf + got);
  CloseHandle(h);
  if (!ok) return std::nullopt;
  return bytes;
}

bool WriteBytes(const std::wstring& path, const Bytes& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  return CloseHandle(h) && ok;
}

std::optional<Bytes> Encode(const std::wstring& text, unsigned codepage) {
  if (text.empty()) return Bytes();
  BOOL defaulted = FALSE;
  // UTF-8 has a code for everything and takes no "used default" flag.
  BOOL* flag = codepage == CP_UTF8 ? nullptr : &defaulted;
  const DWORD flags = codepage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(codepage, flags, text.data(), size, nullptr, 0, nullptr, flag);
  if (n <= 0 || defaulted) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codepage, flags, text.data(), size, out.data(), n, nullptr, flag);
  if (defaulted) return std::nullopt;
  return Bytes(out.begin(), out.end());
}

std::optional<std::vector<std::wstring>> Tree(const std::wstring& dir) {
  const DWORD attributes = GetFileAttributesW(dir.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  struct Entry {
    std::wstring name;
    bool directory;
  };
  std::vector<Entry> entries;
  WIN32_FIND_DATAW found{};
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(h, &found));
    FindClose(h);
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
  std::vector<std::wstring> out;
  for (const Entry& e : entries) {
    if (!e.directory) {
      out.push_back(e.name);
      continue;
    }
    out.push_back(e.name + L"\\");
    for (const std::wstring& below :
         Tree(dir + L"\\" + e.name).value_or(std::vector<std::wstring>{}))
      out.push_back(e.name + L"\\" + below);
  }
  return out;
}

std::optional<std::vector<std::wstring>> RecordFields(const Bytes& file, std::size_t slot) {
  if (file.size() < (slot + 1) * kRecordBytes) return std::nullopt;
  const std::uint8_t* r = file.data() + slot * kRecordBytes;
  return std::vector<std::wstring>{text(r, 4),
                                   hexDigits(number(r + 4, 2), 4),
                                   hexDigits(number(r + 6, 2), 4),
                                   hexDigits(number(r + 8, 2), 4),
                                   hexDigits(number(r + 10, 4), 8),
                                   text(r + 14, 8),
                                   text(r + 22, 32)};
}

Bytes MadeUpRavuz(std::size_t count) {
  count = std::clamp<std::size_t>(count, 4, kMaxRecords);
  Bytes out(count * kRecordBytes, 0);
  putRecord(out, 0, {".EXF", 1, 1, 0x0801, 0x00200000, "", "\\SYSTEM\\SHELL.EXF"});
  putRecord(out, 1, {".INI", 1, 2, 0x0802, 0x00200100, "", "\\SYSTEM\\EDIT.EXF"});
  putRecord(out, 2, {".BMP", 1, 3, 0x0803, 0x00200200, "", "\\SYSTEM\\VIEW.EXF"});
  for (std::size_t k = 4; k < count; ++k) {
    const std::string kk =
        std::string(1, static_cast<char>('0' + k / 10)) + static_cast<char>('0' + k % 10);
    putRecord(out, k,
              {".X" + kk, 0, 0, static_cast<std::uint16_t>(0x0900 + k),
               static_cast<std::uint32_t>(0x00300000 + k * 0x100), "",
               "\\SYSTEM\\APPS\\X" + kk + ".EXF"});
  }
  return out;
}

} // namespace vokuta::drive
