#include "launcher/launch_log.h"

#include "text/text_helpers.h"

namespace {

// One line of the log for any text: line breaks written as "\n", so that a
// line of the file is always one record, and none at its end.
std::string OneLine(const std::string& text) {
  std::string line;
  const std::size_t end = text.find_last_not_of("\r\n") + 1;
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      line += "\\n";
    } else if (text[i] != '\r') {
      line += text[i];
    }
  }
  return line;
}

}  // namespace

LaunchLog::LaunchLog(PlatformOps& inner, const LaunchSettings& settings)
    : PlatformWrapper(inner),
      settings_(settings),
      prefix_(Format("[%u] ", static_cast<unsigned>(inner.ProcessId()))) {}

LaunchLog::~LaunchLog() {
  std::string rest;
  if (vmLines_.Flush(&rest)) Record("vm: " + rest);
  if (state_ == State::kWriting) inner_.CloseFile(file_);
}

void LaunchLog::Open(const std::optional<std::string>& path) {
  if (state_ != State::kKeeping) return;
  if (!path) {
    state_ = State::kOff;
    kept_.clear();
    return;
  }
  path_ = *path;
  std::uint64_t size = 0;
  bool opened = inner_.OpenForAppend(path_, &file_, &size);
  if (opened && size > kLogRotationBytes) {
    inner_.CloseFile(file_);
    inner_.RenameFile(path_, path_ + ".1");
    opened = inner_.OpenForAppend(path_, &file_, &size);
  }
  if (!opened) {
    GiveUp("cannot be opened");
    return;
  }
  state_ = State::kWriting;
  std::vector<std::string> kept;
  kept.swap(kept_);
  for (const std::string& line : kept) Write(line);
}

void LaunchLog::Record(const std::string& line) {
  std::string record = prefix_ + OneLine(line);
  while (busy_.test_and_set(std::memory_order_acquire)) {
  }
  if (state_ == State::kKeeping) {
    kept_.push_back(std::move(record));
  } else if (state_ == State::kWriting) {
    Write(record);
  }
  busy_.clear(std::memory_order_release);
}

void LaunchLog::Write(const std::string& line) {
  if (state_ == State::kWriting && !inner_.Append(file_, line + "\r\n")) {
    inner_.CloseFile(file_);
    GiveUp("cannot be written");
  }
}

void LaunchLog::GiveUp(const std::string& why) {
  state_ = State::kOff;
  kept_.clear();
  if (settings_.debugMode) {
    inner_.WriteOut(Format("logFile %s %s; the run goes on without a log\n",
                           path_.c_str(), why.c_str()));
  }
}

int LaunchLog::ShowMessageBox(const std::string& text,
                              const std::string& caption, unsigned style) {
  const int answer = inner_.ShowMessageBox(text, caption, style);
  Record(Format("message: %s: %s%s", caption.c_str(), text.c_str(),
                style != kBoxYesNoError ? ""
                : answer == kAnswerYes  ? " [answered Yes]"
                                        : " [answered No]"));
  return answer;
}

StartedProcess LaunchLog::StartProcess(
    const std::string& commandLine, const std::optional<std::string>& directory,
    const std::optional<std::string>& consoleTitle) {
  StartedProcess started =
      inner_.StartProcess(commandLine, directory, consoleTitle);
  Record(Format("%s: %s", started.ok ? "started" : "not started",
                commandLine.c_str()));
  return started;
}

void LaunchLog::WriteOut(const std::string& text) {
  inner_.WriteOut(text);
  if (settings_.debugMode) {
    Record("trace: " + text);
  }
}

void LaunchLog::WriteErr(const std::string& text) {
  inner_.WriteErr(text);
  Record("error output: " + text);
}

void LaunchLog::WriteVmOutput(const void* stream, const std::string& text) {
  inner_.WriteVmOutput(stream, text);
  while (busy_.test_and_set(std::memory_order_acquire)) {
  }
  std::vector<std::string> lines = vmLines_.Add(text);
  busy_.clear(std::memory_order_release);
  for (const std::string& line : lines) Record("vm: " + line);
}

void LaunchLog::Note(const std::string& line) {
  inner_.Note(line);
  Record(line);
}
