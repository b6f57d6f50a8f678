// Printing to real print queues: a CUPS server of the test's own (tests/paper/cups), with a
// PDF-writing queue and a simulated driverless printer, reached through CUPS_SERVER. What the
// server received (job attributes, the document) is compared with what was asked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "CliRun.h"
#include "TestUtil.h"

using namespace kaede;
using namespace kaede::test;

namespace {

std::string Shell(const std::string& command) {
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
  // The last job of a queue, once it is finished (at most 20 s).
  static int FinishedJob(const std::string& queue) {
    for (int i = 0; i < 200; ++i) {
      if (Shell("lpstat -o " + queue).empty()) {
        const std::string done = Shell("lpstat -W completed -o " + queue);
        const std::regex number(queue + "-(\\d+)");
        int last = 0;
        for (auto it = std::sregex_iterator(done.begin(), done.end(), number); it != std::sregex_iterator(); ++it)
          last = std::max(last, std::atoi((*it)[1].str().c_str()));
        if (last > 0) return last;
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
  static TempDir* Dir;
  static std::string Server;
};
TempDir* CupsServer::Dir = nullptr;
std::string CupsServer::Server;

std::string Pages(const std::string& info) {
  std::smatch m;
  return std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)")) ? m[1].str() : info;
}
// The first page's size in millimetres, rounded (the writer keeps whole points).
std::string PageSize(const std::string& info) {
  std::smatch m;
  if (!std::regex_search(info, m, std::regex("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))) return info;
  auto mm = [](const std::string& pt) { return std::to_string(std::lround(std::atof(pt.c_str()) * 25.4 / 72)); };
  return mm(m[1]) + " x " + mm(m[2]);
}

}  // namespace

// Cards go to a queue on its own medium of their size, as many copies as asked, upright; a
// round-trip card comes upright on every queue; a queue added while nothing runs is listed
// and printed to, one removed is gone and printing to it fails without going elsewhere.
TEST_F(CupsServer, CardsReachTheQueueOnTheirMediumWithTheirCopiesAndUpright) {
  KAEDE_NEEDS_SHARED_DATA();
  ConfigHome config;
  TempDir dir;
  const std::string book = SjisToUtf8(MakeBook(dir, 5));

  TRun r = Kaede({"printers"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("kaede-pdf"), std::string::npos) << r.Out;
  if (r.Out.find("kaede-ipp") == std::string::npos) GTEST_SKIP() << "the simulated printer did not start:\n" << r.Out;
  EXPECT_NE(r.Out.find("jpn_hagaki_100x148mm\tはがき 100×148mm"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("jpn_oufuku_148x200mm\t往復はがき 148×200mm"), std::string::npos) << r.Out;

  // official cards: entries 1-3, two copies, on the queue's postcard medium
  r = Kaede({"print", "postcards", book, "--entries", "1-3", "--printer", "kaede-ipp", "--copies", "2"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("sent to kaede-ipp, 2 copies"), std::string::npos) << r.Out;
  int job = FinishedJob("kaede-ipp");
  ASSERT_GT(job, 0);
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "copies"), "2");
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "media"), "jpn_hagaki_100x148mm");
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "orientation-requested"), "portrait");
  EXPECT_EQ(JobAttribute("kaede-ipp", job, "job-media-sheets-completed"), "6");
  std::string info = Received(job);
  EXPECT_EQ(Pages(info), "3");
  EXPECT_EQ(PageSize(info), "100 x 148") << info;

  // the round-trip card (200 x 148 on screen) goes upright, 148 x 200, on both queues
  for (const char* queue : {"kaede-ipp", "kaede-pdf"}) {
    r = Kaede({"print", "postcards", book, "--style", "10", "--entries", "1", "--printer", queue});
    ASSERT_EQ(r.Status, 0) << r.Err;
    job = FinishedJob(queue);
    ASSERT_GT(job, 0);
    // the PDF queue has no such medium: it takes the card as a custom size
    EXPECT_EQ(JobAttribute(queue, job, "media"), queue == std::string("kaede-ipp") ? "jpn_oufuku_148x200mm" : "Custom.148x200mm");
    EXPECT_EQ(PageSize(Received(job)), "148 x 200") << queue;
  }

  // a queue added meanwhile is there and takes the job; removed, it is gone, and a print to
  // it fails with nothing sent anywhere
  Shell("lpadmin -p kaede-new -E -v file:///dev/null -m raw");
  r = Kaede({"printers"});
  EXPECT_NE(r.Out.find("kaede-new"), std::string::npos) << r.Out;
  Shell("lpadmin -x kaede-new");
  r = Kaede({"printers"});
  EXPECT_EQ(r.Out.find("kaede-new"), std::string::npos) << r.Out;
  const std::string before = Shell("lpstat -W all -o");
  r = Kaede({"print", "postcards", book, "--printer", "kaede-new"});
  EXPECT_NE(r.Status, 0);
  EXPECT_NE(r.Err.find("no print queue 'kaede-new'"), std::string::npos) << r.Err;
  EXPECT_EQ(Shell("lpstat -W all -o"), before);
}
