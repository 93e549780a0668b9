#include "launcher/launch_log.h"

#include "launcher/output_capture.h"
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
  bool opened = inner_.OpenForAppend(path_, &file_, &size_);
  if (opened && size_ > kLogRotationBytes) opened = Rotate();
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
  busy_.Lock();
  if (state_ == State::kKeeping) {
    kept_.push_back(std::move(record));
  } else if (state_ == State::kWriting) {
    Write(record);
  }
  busy_.Unlock();
}

bool LaunchLog::Rotate() {
  inner_.CloseFile(file_);
  inner_.RenameFile(path_, path_ + ".1");
  return inner_.OpenForAppend(path_, &file_, &size_);
}

void LaunchLog::Write(const std::string& line) {
  if (state_ != State::kWriting) return;
  const std::string record = line + "\r\n";
  // A chatty application's output keeps the log and its predecessor within
  // twice the bound, whatever it writes: the log is set aside when this
  // line would take it over the bound.
  if (size_ > 0 && size_ + record.size() > kLogRotationBytes && !Rotate()) {
    GiveUp("cannot be opened");
    return;
  }
  if (!inner_.Append(file_, record)) {
    inner_.CloseFile(file_);
    GiveUp("cannot be written");
    return;
  }
  size_ += record.size();
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
    const std::optional<std::string>& consoleTitle,
    const ChildOptions& options) {
  StartedProcess started =
      inner_.StartProcess(commandLine, directory, consoleTitle, options);
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
  // Captured output reaches the log through its pipes.
  if (CapturesOutput(settings_)) return;
  busy_.Lock();
  std::vector<std::string> lines = vmLines_.Add(text);
  busy_.Unlock();
  for (const std::string& line : lines) Record("vm: " + line);
}

void LaunchLog::Note(const std::string& line) {
  inner_.Note(line);
  Record(line);
}
