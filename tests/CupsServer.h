#pragma once
// A CUPS server of the test's own (tests/paper/cups/cups-harness.sh): configuration, spool and
// logs in a temporary folder, 127.0.0.1 only, with a PDF-writing queue (kaede-pdf) and a
// simulated driverless printer (kaede-ipp, 3 mm margins), reached through CUPS_SERVER. The
// fixture starts it once for the suite; what the server received is read back with its tools.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "TestUtil.h"

namespace kaede::test {

inline std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen((command + " 2>&1").c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

class CupsServer : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    for (const char* tool : {"cupsd", "lpadmin", "ipptool", "pdfinfo"})
      if (Shell(std::string("command -v ") + tool).empty()) return;
    Dir = new TempDir;
    const std::string port = std::to_string(20000 + ::getpid() % 20000);
    const std::string out = Shell(std::string(KAEDE_SOURCE_DIR) + "/tests/paper/cups/cups-harness.sh start " + Dir->Path() + " " + port);
    if (out.find("127.0.0.1:" + port) != std::string::npos) {
      Server = "127.0.0.1:" + port;
      ::setenv("CUPS_SERVER", Server.c_str(), 1);
    } else {
      std::fprintf(stderr, "%s\n", out.c_str());
    }
  }
  static void TearDownTestSuite() {
    if (Dir) Shell(std::string(KAEDE_SOURCE_DIR) + "/tests/paper/cups/cups-harness.sh stop " + Dir->Path());
    ::unsetenv("CUPS_SERVER");
    delete Dir;
    Dir = nullptr;
  }
  void SetUp() override {
    if (Server.empty()) GTEST_SKIP() << "no CUPS server could be started (scripts/install-deps.sh installs one)";
  }
  // An attribute of a finished job as the server keeps it.
  static std::string JobAttribute(const std::string& queue, int job, const std::string& name) {
    const std::string test = Dir->Path() + "/get-job.test";
    std::FILE* f = std::fopen(test.c_str(), "w");
    std::fprintf(f, "{\nOPERATION Get-Job-Attributes\nGROUP operation-attributes-tag\n"
                    "ATTR charset attributes-charset utf-8\nATTR naturalLanguage attributes-natural-language en\n"
                    "ATTR uri printer-uri $uri\nATTR integer job-id %d\nATTR keyword requested-attributes all\n"
                    "STATUS successful-ok\nDISPLAY %s\n}\n", job, name.c_str());
    std::fclose(f);
    std::string out = Shell("ipptool -t ipp://" + Server + "/printers/" + queue + " " + test);
    std::smatch m;
    if (std::regex_search(out, m, std::regex(name + " \\([^)]*\\) = ([^\\n]*)"))) return m[1];
    return out;
  }
  // The last job of a queue, once it is finished (at most 20 s); a failure of the test when
  // the printer did not complete it.
  static int FinishedJob(const std::string& queue) {
    for (int i = 0; i < 200; ++i) {
      if (Shell("lpstat -o " + queue).empty()) {
        const std::string done = Shell("lpstat -W completed -o " + queue);
        const std::regex number(queue + "-(\\d+)");
        int last = 0;
        for (auto it = std::sregex_iterator(done.begin(), done.end(), number); it != std::sregex_iterator(); ++it)
          last = std::max(last, std::atoi((*it)[1].str().c_str()));
        if (last > 0) {
          // the counts of a job are the server's own; whether the printer took it is its state
          const std::string state = JobAttribute(queue, last, "job-state");
          if (state != "completed")
            ADD_FAILURE() << queue << " job " << last << " ended " << state << "\n" << Shell("tail -5 " + Dir->Path() + "/log/error_log");
          return last;
        }
      }
      ::usleep(100000);
    }
    return 0;
  }
  // The document the server received for a job: its pages and the size of the first.
  static std::string Received(int job) {
    char name[32];
    std::snprintf(name, sizeof name, "d%05d-001", job);
    return Shell("pdfinfo " + Dir->Path() + "/spool/" + name);
  }
  static inline TempDir* Dir = nullptr;
  static inline std::string Server;
};

inline std::string Pages(const std::string& info) {
  std::smatch m;
  return std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)")) ? m[1].str() : info;
}
// The first page's size in millimetres, rounded (the writer keeps whole points).
inline std::string PageSize(const std::string& info) {
  std::smatch m;
  if (!std::regex_search(info, m, std::regex("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))) return info;
  auto mm = [](const std::string& pt) { return std::to_string(std::lround(std::atof(pt.c_str()) * 25.4 / 72)); };
  return mm(m[1]) + " x " + mm(m[2]);
}


}  // namespace kaede::test
