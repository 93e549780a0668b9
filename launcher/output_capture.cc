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

bool OutputCapture::Open() {
  if (!os_.CreateOutputPipes(&pipes_)) return false;
  out_.pipe = pipes_.outRead;
  err_.pipe = pipes_.errRead;
  return true;
}

OutputCapture* OpenCapture(const LaunchSettings& settings, PlatformOps& os) {
  if (!CapturesOutput(settings)) return nullptr;
  OutputCapture* capture = new OutputCapture(os);
  if (capture->Open()) return capture;
  delete capture;
  return nullptr;
}

std::string CloseCapture(OutputCapture* capture) {
  if (capture == nullptr) return std::string();
  std::string tail = capture->Finish();
  if (!capture->StillReading()) delete capture;
  return tail;
}

void OutputCapture::CloseWriteEnds() {
  if (!writeEndsOpen_) return;
  writeEndsOpen_ = false;
  os_.CloseFile(pipes_.outWrite);
  os_.CloseFile(pipes_.errWrite);
}

void OutputCapture::Start(bool childHasThem) {
  if (childHasThem) CloseWriteEnds();
  for (Stream* stream : {&out_, &err_}) {
    stream->started = os_.StartThread(0, Read, stream, &stream->thread);
  }
}

bool OutputCapture::Finished() {
  busy_.Lock();
  const bool finished = finished_;
  busy_.Unlock();
  return finished;
}

void OutputCapture::Take(Stream& stream, const std::string& line) {
  if (&stream == &err_) tail_.Add(line);
  os_.Note(stream.prefix + line);
}

void OutputCapture::Read(void* context) {
  Stream& stream = *static_cast<Stream*>(context);
  OutputCapture& capture = *stream.capture;
  std::string chunk;
  // A reader that outlives Finish (a grandchild holds its pipe) must not
  // come back to the platform, whose layers go with the run.
  while (!capture.Finished() && capture.os_.ReadPipe(stream.pipe, &chunk)) {
    capture.busy_.Lock();
    const bool finished = capture.finished_;
    if (!finished) {
      for (const std::string& line : stream.lines.Add(chunk)) {
        capture.Take(stream, line);
      }
    }
    capture.busy_.Unlock();
    if (finished) return;
  }
}

std::string OutputCapture::Finish() {
  // The launcher's own output ends here: the pipes then end once they are
  // read.
  CloseWriteEnds();
  for (Stream* stream : {&out_, &err_}) {
    if (stream->started &&
        !os_.WaitForThread(stream->thread, kDrainMilliseconds)) {
      stillReading_ = true;
    }
  }
  busy_.Lock();
  finished_ = true;
  std::string line;
  for (Stream* stream : {&out_, &err_}) {
    if (stream->lines.Flush(&line)) Take(*stream, line);
  }
  std::string tail = tail_.Text();
  busy_.Unlock();
  return tail;
}
