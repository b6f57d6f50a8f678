#pragma once
// Running the kaede program from the tests, and a book of the synthetic address book to run
// it on.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CommaText.h"
#include "PersonLists.h"
#include "TestUtil.h"

namespace kaede::test {

struct TRun {
  int Status = -1;
  std::string Out, Err;
};

// Runs the kaede program with the arguments (no shell) and collects its output.
inline TRun Kaede(std::vector<std::string> args) {
  args.insert(args.begin(), KAEDE_CLI);
  int out[2], err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) return {};
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    ::close(out[0]);
    ::close(err[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    _exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  TRun r;
  auto drain = [](int fd, std::string& to) {
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) to.append(buf, static_cast<size_t>(n));
    ::close(fd);
  };
  drain(out[0], r.Out);  // the outputs here are small: reading one after the other is safe
  drain(err[0], r.Err);
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

inline int CountLines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

// A book of the first entries of the synthetic address book.
inline std::string MakeBook(const test::TempDir& dir, int count) {
  std::string csv = ReadFileBytes(test::SharedData("fake/synthetic_addressbook_5000_cp932.csv"));
  TStrings lines, f;
  SplitLines(csv, lines);
  TPersonList book;
  book.BeginUpdate();
  for (int i = 1; i <= count; ++i) {
    DecodeCommaText(lines[static_cast<size_t>(i)], f);
    auto* p = static_cast<TPerson*>(book.AddText(""));
    p->SetName(f[1] + " " + f[2]);
    p->SetYomi(f[3] + " " + f[4]);  // katakana, as an import would bring it
    p->SetPostal(f[6]);
    TStrings address{f[7] + f[8] + f[9] + f[10]};
    p->SetAddress(&address);
    p->AddClassify(f[7]);
  }
  book.EndUpdate();
  std::string file = dir.File("合成.kad");
  book.SetFileName(file);
  return file;
}

}  // namespace kaede::test
