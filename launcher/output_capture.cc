#include "launcher/output_capture.h"

namespace {

// How long the end of a run waits for each reader: enough to empty a full
// pipe into the log, short enough that a grandchild still holding the pipe
// does not keep the launcher.
constexpr unsigned kDrainMilliseconds = 2000;

}  // namespace

bool CapturesOutput(const LaunchSettings& settings) {
  return settings.logFile.has_value() && settings.flavour.logsApplicationOutput;
}

OutputCapture* OpenCapture(const LaunchSettings& settings, Processes& processes,
                           Threads& threads, LaunchObserver& observer) {
  if (!CapturesOutput(settings)) return nullptr;
  OutputCapture* capture = new OutputCapture(processes, threads, observer);
  if (!processes.CreateOutputPipes(&capture->pipes_)) {
    delete capture;
    return nullptr;
  }
  capture->out_.pipe = capture->pipes_.outRead;
  capture->err_.pipe = capture->pipes_.errRead;
  return capture;
}

std::string CloseCapture(OutputCapture* capture) {
  if (capture == nullptr) return std::string();
  std::string tail = capture->Finish();
  capture->Release();
  return tail;
}

void OutputCapture::CloseWriteEnds() {
  if (!writeEndsOpen_) return;
  writeEndsOpen_ = false;
  processes_.ClosePipe(pipes_.outWrite);
  processes_.ClosePipe(pipes_.errWrite);
}

void OutputCapture::StartForChild() {
  CloseWriteEnds();
  StartReaders();
}

void OutputCapture::StartForThisProcess() {
  processes_.UseOutputPipes(pipes_);
  ownOutput_ = true;
  StartReaders();
}

void OutputCapture::StartReaders() {
  // No reader runs yet to see the count change.
  holders_ += 2;
  for (Stream* stream : {&out_, &err_}) {
    stream->started = threads_.StartThread(0, Read, stream, &stream->thread);
    // A reader that never ran lets go at once.
    if (!stream->started) Release();
  }
}

void OutputCapture::Take(Stream& stream, const std::string& line) {
  if (!hidden_.empty() && line == hidden_) return;
  if (&stream == &err_) tail_.Add(line);
  observer_.Note(stream.prefix + line);
}

void OutputCapture::Read(void* context) {
  Stream& stream = *static_cast<Stream*>(context);
  OutputCapture& capture = *stream.capture;
  std::string chunk;
  bool reading = true;
  while (reading && capture.processes_.ReadPipe(stream.pipe, &chunk)) {
    LockGuard guard(capture.lock_);
    reading = !capture.finished_;
    if (!reading) break;
    for (const std::string& line : stream.lines.Add(chunk)) {
      capture.Take(stream, line);
    }
  }
  // The read end is this reader's: nobody else reads it.
  capture.processes_.ClosePipe(stream.pipe);
  capture.Release();
}

std::string OutputCapture::Finish() {
  // The launcher's own output ends here, and is its own again first, so that
  // its standard handles never name a closed pipe; the pipes then end once
  // they are read.
  if (ownOutput_) processes_.RestoreOutput();
  CloseWriteEnds();
  for (Stream* stream : {&out_, &err_}) {
    if (!stream->started) {
      processes_.ClosePipe(stream->pipe);
      continue;
    }
    threads_.WaitForThread(stream->thread, kDrainMilliseconds);
    threads_.CloseThread(stream->thread);
  }
  LockGuard guard(lock_);
  finished_ = true;
  std::string line;
  for (Stream* stream : {&out_, &err_}) {
    if (stream->lines.Flush(&line)) Take(*stream, line);
  }
  return tail_.Text();
}

void OutputCapture::Release() {
  bool last;
  {
    LockGuard guard(lock_);
    last = --holders_ == 0;
  }
  if (last) delete this;
}
