// The application's output in the launch log, and the job it runs in, on the
// fake system: lines as they come, the bound on the log, the tail in the
// early-failure box, and when the child gets pipes at all.
#include "launcher/output_capture.h"

#include <gtest/gtest.h>

#include "launcher/launch_log.h"
#include "tests/launcher_harness.h"

namespace {

TEST(LineSplitter, CutsLinesAsTheyComeAndFlushesTheRest) {
  const std::string longLine(kMaxOutputLineBytes + 3, 'x');
  const struct {
    std::vector<std::string> chunks;
    std::vector<std::string> lines;  // the flushed rest last
  } cases[] = {
      {{"a\nb", "c\r\n", "\n"}, {"a", "bc", ""}},
      {{"no end"}, {"no end"}},
      {{"cr\ralone\n"}, {"cr\ralone"}},
      {{longLine}, {longLine.substr(0, kMaxOutputLineBytes), "xxx"}},
  };
  for (const auto& c : cases) {
    LineSplitter splitter;
    std::vector<std::string> lines;
    for (const std::string& chunk : c.chunks) {
      for (const std::string& line : splitter.Add(chunk)) lines.push_back(line);
    }
    std::string rest;
    if (splitter.Flush(&rest)) lines.push_back(rest);
    EXPECT_EQ(lines, c.lines);
  }
  LineTail tail;
  for (int i = 0; i < 12; ++i) tail.Add("line " + std::to_string(i));
  EXPECT_EQ(tail.Text().substr(0, 7), "line 2\n");  // the last ten
  tail.Add(std::string(2000, 'y'));
  EXPECT_EQ(tail.Text(), std::string(999, 'y') + "\n");
}

struct CaptureCase {
  const Flavour* flavour;
  bool logFile;
  bool piped;
};

TEST(OutputCapture, OnlyAGuiLauncherWithALogPipesTheApplicationsOutput) {
  const CaptureCase cases[] = {{&kGuiFlavour, true, true},
                               {&kGuiFlavour, false, false},
                               {&kConsoleFlavour, true, false}};
  for (const CaptureCase& c : cases) {
    FakePlatform os;
    os.files["C:\\Apps\\Tool\\Tool.config"].content =
        std::string(c.logFile ? "logFile run.log\n" : "") +
        "mainclass a.B\njavapath C:\\jre\\bin\\javaw.exe\n";
    FakePlatform::Run run{1, 1};
    run.out = "out one\r\nout two";
    run.err = "e1\ne2\n";
    os.runs = {run};
    LaunchSettings settings;
    settings.flavour = *c.flavour;
    RunLauncher({"C:\\Apps\\Tool\\Tool.exe"}, settings, os);
    ASSERT_EQ(os.starts.size(), 1u);
    EXPECT_EQ(os.starts[0].piped, c.piped);
    // Every application dies with a killed launcher, and what it leaves
    // running outlives one that ends normally.
    EXPECT_TRUE(os.starts[0].dieWithLauncher && os.childrenReleased);
    const std::string& log = os.files["C:\\Apps\\Tool\\run.log"].content;
    const std::string said =
        c.flavour->sharesConsole ? os.err : os.boxes.at(0).text;
    EXPECT_EQ(said.find("Error=1\n\ne1\ne2\n") != std::string::npos, c.piped);
    if (!c.piped) continue;
    // Each stream's lines in order, the unfinished last one too, before
    // the application's end is noted (two readers: the streams' lines may
    // come in either order between them, as on the system).
    std::size_t before = 0;
    for (const char* lines : {"[4242] out: out one\r\n[4242] out: out two",
                              "[4242] err: e1\r\n[4242] err: e2"}) {
      std::string kept;
      for (std::size_t at = 0, end; (end = log.find("\r\n", at)) !=
                                    std::string::npos;
           at = end + 2) {
        const std::string line = log.substr(at, end - at);
        if (line.compare(0, 12, std::string(lines, 12)) == 0) {
          kept += (kept.empty() ? "" : "\r\n") + line;
          before = std::max(before, end);
        }
      }
      EXPECT_EQ(kept, lines) << log;
    }
    EXPECT_LT(before, log.find("application exit code 1")) << log;
  }
}

TEST(OutputCapture, AChattyApplicationKeepsTheLogWithinItsBound) {
  FakePlatform os;
  os.pipeReadBytes = 1 << 16;
  os.files["C:\\Apps\\Tool\\Tool.config"].content =
      "logFile run.log\nmainclass a.B\njavapath C:\\jre\\bin\\javaw.exe\n";
  FakePlatform::Run run;
  for (int i = 0; i < 50000; ++i) run.out += std::string(90, 'x') + "\n";
  run.out += "the last line\n";
  os.runs = {run};
  LaunchSettings settings;
  RunLauncher({"C:\\Apps\\Tool\\Tool.exe"}, settings, os);
  const std::string& log = os.files["C:\\Apps\\Tool\\run.log"].content;
  const std::string& older = os.files["C:\\Apps\\Tool\\run.log.1"].content;
  EXPECT_LE(log.size(), kLogRotationBytes);
  EXPECT_LE(older.size(), kLogRotationBytes);
  EXPECT_NE(log.find("out: the last line\r\n"), std::string::npos);
  EXPECT_NE(log.find("launcher exit code 0"), std::string::npos);
}

TEST(OutputCapture, ALauncherInAJobOfItsOwnSaysSoInDebugMode) {
  FakePlatform os;
  os.inJobWithoutNesting = true;
  os.files["C:\\Apps\\Tool\\Tool.config"].content =
      "mainclass a.B\njavapath C:\\jre\\bin\\javaw.exe\n";
  LaunchSettings settings;
  EXPECT_EQ(RunLauncher({"C:\\Apps\\Tool\\Tool.exe", "-d"}, settings, os), 0);
  EXPECT_EQ(os.starts.size(), 1u);
  EXPECT_NE(os.out.find("application will not end with a killed launcher"),
            std::string::npos);
}

}  // namespace
