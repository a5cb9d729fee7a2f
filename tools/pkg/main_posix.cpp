// vokuta-pkg on Linux: iconv's code page 932 and the file system through PosixFiles. Arguments
// and output are UTF-8.
#include <cstdio>
#include <exception>

#include "pkg/cli.h"
#include "pkg/posix_files.h"
#include "pkg/utf8.h"
#include "posix/iconv_codepage.h"

int main(int argc, char** argv) {
  try {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.push_back(vokuta::DecodeUtf8(argv[i]));
    vokuta::IconvCodepage codepage;
    const vokuta::ShiftJis sjis(codepage);
    vokuta::pkg::PosixFiles files;
    std::wstring out, err;
    const int status = vokuta::pkg::RunPkgTool(args, files, sjis, out, err);
    const std::string o = vokuta::pkg::EncodeUtf8(out), e = vokuta::pkg::EncodeUtf8(err);
    std::fwrite(o.data(), 1, o.size(), stdout);
    std::fwrite(e.data(), 1, e.size(), stderr);
    return std::fflush(stdout) == 0 ? status : vokuta::pkg::kUsageStatus;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vokuta-pkg: %s\n", e.what());
    return vokuta::pkg::kUsageStatus;
  }
}
