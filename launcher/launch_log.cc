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

LaunchLog::LaunchLog(Files& files, UserInterface& shown,
                     std::uint32_t processId, const LaunchSettings& settings)
    : files_(files),
      shown_(shown),
      settings_(settings),
      prefix_(Format("[%u] ", static_cast<unsigned>(processId))) {}

LaunchLog::~LaunchLog() {
  LockGuard guard(lock_);
  std::string rest;
  if (vmLines_.Flush(&rest)) RecordLocked("vm: " + rest);
  if (state_ == State::kWriting) files_.CloseFile(file_);
  state_ = State::kOff;
}

void LaunchLog::Open(const std::optional<std::string>& path) {
  LockGuard guard(lock_);
  if (state_ != State::kKeeping) return;
  if (!path) {
    state_ = State::kOff;
    kept_.clear();
    return;
  }
  path_ = *path;
  bool opened = files_.OpenForAppend(path_, &file_, &size_);
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
  LockGuard guard(lock_);
  RecordLocked(line);
}

void LaunchLog::RecordLocked(const std::string& line) {
  std::string record = prefix_ + OneLine(line);
  if (state_ == State::kKeeping) {
    kept_.push_back(std::move(record));
  } else if (state_ == State::kWriting) {
    Write(record);
  }
}

bool LaunchLog::Rotate() {
  files_.CloseFile(file_);
  files_.RenameFile(path_, path_ + ".1");
  return files_.OpenForAppend(path_, &file_, &size_);
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
  if (!files_.Append(file_, record)) {
    files_.CloseFile(file_);
    GiveUp("cannot be written");
    return;
  }
  size_ += record.size();
}

void LaunchLog::GiveUp(const std::string& why) {
  state_ = State::kOff;
  kept_.clear();
  if (settings_.debugMode) {
    shown_.WriteOut(Format("logFile %s %s; the run goes on without a log\n",
                           path_.c_str(), why.c_str()));
  }
}

void LaunchLog::Note(const std::string& line) {
  Record(line);
}

void LaunchLog::MessageShown(const std::string& text,
                             const std::string& caption, unsigned style,
                             int answer) {
  Record(Format("message: %s: %s%s", caption.c_str(), text.c_str(),
                style != kBoxYesNoError ? ""
                : answer == kAnswerYes  ? " [answered Yes]"
                                        : " [answered No]"));
}

void LaunchLog::Traced(const std::string& text) {
  Record("trace: " + text);
}

void LaunchLog::ErrorWritten(const std::string& text) {
  Record("error output: " + text);
}

void LaunchLog::ProcessStarted(const std::string& commandLine, bool started) {
  Record(Format("%s: %s", started ? "started" : "not started",
                commandLine.c_str()));
}

void LaunchLog::VmPrinted(const std::string& text) {
  LockGuard guard(lock_);
  for (const std::string& line : vmLines_.Add(text)) RecordLocked("vm: " + line);
}

int RecordedUserInterface::ShowMessageBox(const std::string& text,
                                          const std::string& caption,
                                          unsigned style) {
  const int answer = shown_.ShowMessageBox(text, caption, style);
  observer_.MessageShown(text, caption, style, answer);
  return answer;
}

void RecordedUserInterface::WriteOut(const std::string& text) {
  shown_.WriteOut(text);
  if (settings_.debugMode) observer_.Traced(text);
}

void RecordedUserInterface::WriteErr(const std::string& text) {
  shown_.WriteErr(text);
  observer_.ErrorWritten(text);
}

bool RecordedUserInterface::ShowSplash(const std::string& imagePath) {
  const bool shown = shown_.ShowSplash(imagePath);
  observer_.Note("splash: " + imagePath + (shown ? "" : " cannot be shown"));
  return shown;
}
