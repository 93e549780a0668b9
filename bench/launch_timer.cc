// Times program starts from inside Windows (or Wine), where a process start
// can be measured without the cost of reaching the system from outside.
//
//   launch_timer REQUEST OUTPUT RUNS
//
// REQUEST holds one candidate a line: "name<TAB>directory<TAB>command line".
// Every candidate is started RUNS times (after two warm-up rounds), the
// candidates taking turns so that a slow phase of the machine hits all alike;
// each run is timed from CreateProcess to the end of the process with
// QueryPerformanceCounter. OUTPUT gets one line per run:
//   time<TAB>name<TAB>milliseconds
//
// Lines of REQUEST that begin with "mem<TAB>" instead name a candidate whose
// memory and CPU use is read while the application it starts runs: the
// stand-in runtime is told (STANDIN_SCRIPT) to sleep 4 seconds; after 1 second
// the candidate's working set and private bytes are read, and its CPU time
// before and after a further 2 seconds; at both moments a line
// "tick<TAB>name<TAB>1" (then 2) goes to standard output. OUTPUT gets
//   mem<TAB>name<TAB>working set<TAB>peak working set<TAB>private bytes
//       <TAB>CPU ms before<TAB>CPU ms after
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Candidate {
  bool memory;
  std::string name;
  std::string directory;
  std::string commandLine;
};

std::vector<Candidate> ReadRequest(const char* path) {
  std::vector<Candidate> candidates;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return candidates;
  char line[40000];
  while (std::fgets(line, sizeof line, file)) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
      text.pop_back();
    }
    Candidate c;
    c.memory = text.compare(0, 4, "mem\t") == 0;
    if (c.memory) text.erase(0, 4);
    std::size_t tab1 = text.find('\t');
    std::size_t tab2 = tab1 == std::string::npos ? tab1
                                                 : text.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) continue;
    c.name = text.substr(0, tab1);
    c.directory = text.substr(tab1 + 1, tab2 - tab1 - 1);
    c.commandLine = text.substr(tab2 + 1);
    candidates.push_back(c);
  }
  std::fclose(file);
  return candidates;
}

bool Start(const Candidate& c, PROCESS_INFORMATION* info) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> command(c.commandLine.begin(), c.commandLine.end());
  command.push_back('\0');
  return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, c.directory.c_str(), &startup, info) != 0;
}

double CpuMilliseconds(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return -1;
  ULARGE_INTEGER k, u;
  k.LowPart = kernel.dwLowDateTime;
  k.HighPart = kernel.dwHighDateTime;
  u.LowPart = user.dwLowDateTime;
  u.HighPart = user.dwHighDateTime;
  return (k.QuadPart + u.QuadPart) / 10000.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: launch_timer REQUEST OUTPUT RUNS\n");
    return 2;
  }
  std::vector<Candidate> candidates = ReadRequest(argv[1]);
  std::FILE* out = std::fopen(argv[2], "wb");
  const int runs = std::atoi(argv[3]);
  if (candidates.empty() || !out || runs <= 0) {
    std::fprintf(stderr, "launch_timer: bad request or output\n");
    return 2;
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);

  // The stand-in exits at once unless told otherwise.
  SetEnvironmentVariableA("STANDIN_SCRIPT", nullptr);
  SetEnvironmentVariableA("STANDIN_LOG", nullptr);
  for (int round = -2; round < runs; ++round) {
    for (const Candidate& c : candidates) {
      if (c.memory) continue;
      PROCESS_INFORMATION info;
      LARGE_INTEGER before, after;
      QueryPerformanceCounter(&before);
      if (!Start(c, &info)) {
        std::fprintf(stderr, "launch_timer: cannot start %s (%lu)\n",
                     c.name.c_str(), GetLastError());
        return 1;
      }
      WaitForSingleObject(info.hProcess, INFINITE);
      QueryPerformanceCounter(&after);
      CloseHandle(info.hThread);
      CloseHandle(info.hProcess);
      if (round < 0) continue;
      std::fprintf(out, "time\t%s\t%.3f\n", c.name.c_str(),
                   (after.QuadPart - before.QuadPart) * 1000.0 /
                       frequency.QuadPart);
    }
  }

  // The stand-in sleeps on its first run: its log is removed before each start
  // so that every start is a first run.
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string script = std::string(temp) + "launch_timer_script.txt";
  const std::string log = std::string(temp) + "launch_timer_log.txt";
  if (std::FILE* f = std::fopen(script.c_str(), "wb")) {
    std::fputs("0 4000\n", f);
    std::fclose(f);
  }
  SetEnvironmentVariableA("STANDIN_SCRIPT", script.c_str());
  SetEnvironmentVariableA("STANDIN_LOG", log.c_str());
  for (const Candidate& c : candidates) {
    if (!c.memory) continue;
    DeleteFileA(log.c_str());
    PROCESS_INFORMATION info;
    if (!Start(c, &info)) {
      std::fprintf(stderr, "launch_timer: cannot start %s (%lu)\n",
                   c.name.c_str(), GetLastError());
      return 1;
    }
    Sleep(1000);
    // Ticks on standard output let a watcher outside read the candidate's
    // CPU time too: Wine answers GetProcessTimes for another process with a
    // figure that does not move.
    std::printf("tick\t%s\t1\n", c.name.c_str());
    std::fflush(stdout);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(info.hProcess,
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    double cpuBefore = CpuMilliseconds(info.hProcess);
    Sleep(2000);
    double cpuAfter = CpuMilliseconds(info.hProcess);
    std::printf("tick\t%s\t2\n", c.name.c_str());
    std::fflush(stdout);
    DWORD stillRunning = WaitForSingleObject(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::fprintf(out, "mem\t%s\t%lu\t%lu\t%lu\t%.3f\t%.3f\t%s\n",
                 c.name.c_str(), static_cast<unsigned long>(memory.WorkingSetSize),
                 static_cast<unsigned long>(memory.PeakWorkingSetSize),
                 static_cast<unsigned long>(memory.PrivateUsage), cpuBefore,
                 cpuAfter, stillRunning == WAIT_TIMEOUT ? "waiting" : "ended");
  }
  DeleteFileA(log.c_str());
  DeleteFileA(script.c_str());
  std::fclose(out);
  return 0;
}
