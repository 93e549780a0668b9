#include "bench/scenarios.h"

#include <cstdio>
#include <vector>

#include "config/config_file.h"
#include "launcher/launcher_main.h"
#include "runtime/registry_reader.h"
#include "runtime/update_selection.h"

namespace {

const char kProgram[] = "C:\\Apps\\Tool\\Tool.exe";
const char kConfig[] = "C:\\Apps\\Tool\\Tool.config";
const std::string kRoot = kRuntimeRootKey;

std::string Numbered(const char* format, int n) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, n);
  return buffer;
}

// The registry of a machine with one runtime, "1.6", as the current one.
void AddCurrentRuntime(FakePlatform& os) {
  os.SetValue(kRoot, "CurrentVersion", std::string("1.6\0", 4));
  os.SetValue(kRoot + "\\1.6", "JavaHome", std::string("C:\\Java\\jre6\0", 13));
}

std::vector<DirEntry> Jars(int count) {
  std::vector<DirEntry> jars;
  for (int i = 0; i < count; ++i) {
    jars.push_back({Numbered("library-%05d.jar", i), 0});
  }
  return jars;
}

// A configuration as people write them: comments, parameters, jars, a
// variable reference now and then, arguments.
std::string ManyLines(int count) {
  static const char* const kForms[] = {
      "# comment number %d\r\n",       "vmparam -Dproperty%d=some.value\r\n",
      "addjar lib/library-%d.jar\r\n", "vmparam -Dhome%d=$APPDATA\\Tool\r\n",
      "argument --option-%d\r\n",
  };
  std::string text;
  for (int i = 0; i < count; ++i) text += Numbered(kForms[i % 5], i);
  return text;
}

}  // namespace

void PrepareScenario(Scenario scenario, int size, FakePlatform& os) {
  os.majorVersion = 5;
  os.currentDirectory = "C:\\Users\\user";
  os.environment["APPDATA"] = "C:\\Users\\user\\AppData\\Roaming";
  // The launched application ends normally after ten seconds.
  os.defaultRun.exitCode = 0;
  os.defaultRun.seconds = 10;
  switch (scenario) {
    case Scenario::kTypical:
      os.files[kConfig].content =
          "vmparam -Xmx256m\r\naddjars lib\r\nmainclass tool.Main\r\n"
          "appname Tool\r\n";
      os.listings["lib/*.jar"] = {{"a.jar", 0}, {"b.jar", 0}};
      AddCurrentRuntime(os);
      break;
    case Scenario::kLines:
      os.files[kConfig].content = ManyLines(size);
      break;
    case Scenario::kJars:
      os.files[kConfig].content = "addjars lib\r\n";
      os.listings["lib/*.jar"] = Jars(size);
      break;
    case Scenario::kIncludes:
      for (int i = 0; i < size; ++i) {
        std::string& text =
            os.files[i == 0 ? std::string(kConfig)
                            : Numbered("C:\\Apps\\Tool\\part%d.config", i)]
                .content;
        text = Numbered("vmparam -Dlevel%d=1\r\n", i);
        if (i + 1 < size) {
          text += Numbered("include C:\\Apps\\Tool\\part%d.config\r\n", i + 1);
        }
      }
      break;
    case Scenario::kSubkeys:
      for (int i = 0; i < size; ++i) {
        os.AddKey(kRoot + Numbered("\\1.6.0_%d", i));
      }
      break;
  }
}

std::size_t RunScenario(Scenario scenario, FakePlatform& os,
                        LaunchSettings& settings) {
  switch (scenario) {
    case Scenario::kTypical: {
      std::vector<std::string> args = {kProgram, "report.txt"};
      int code = LauncherMain(args, settings, os);
      return static_cast<std::size_t>(code) + os.starts.size();
    }
    case Scenario::kLines:
    case Scenario::kJars:
    case Scenario::kIncludes:
      return static_cast<std::size_t>(
                 ReadConfigFile(kConfig, settings, os).has_value()) +
             settings.vmParams.size() + settings.classPathEntries.size() +
             settings.appArguments.size();
    case Scenario::kSubkeys:
      settings.javaVersion = "1.6.0_1";
      return static_cast<std::size_t>(
                 SelectLatestUpdate(settings, os).has_value()) +
             settings.javaVersion->size();
  }
  return 0;
}

bool ScenarioByName(const std::string& name, Scenario* scenario) {
  static const struct {
    const char* name;
    Scenario scenario;
  } kNames[] = {{"typical", Scenario::kTypical},
                {"lines", Scenario::kLines},
                {"jars", Scenario::kJars},
                {"includes", Scenario::kIncludes},
                {"subkeys", Scenario::kSubkeys}};
  for (const auto& entry : kNames) {
    if (name == entry.name) {
      *scenario = entry.scenario;
      return true;
    }
  }
  return false;
}
