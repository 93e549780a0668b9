#include "launcher/output_lines.h"

std::vector<std::string> LineSplitter::Add(const std::string& chunk) {
  std::vector<std::string> lines;
  for (char c : chunk) {
    if (c == '\n') {
      if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
      lines.push_back(std::move(partial_));
      partial_.clear();
    } else {
      partial_ += c;
      if (partial_.size() == kMaxOutputLineBytes) {
        lines.push_back(std::move(partial_));
        partial_.clear();
      }
    }
  }
  return lines;
}

bool LineSplitter::Flush(std::string* line) {
  if (partial_.empty()) return false;
  *line = std::move(partial_);
  partial_.clear();
  return true;
}

void LineTail::Add(const std::string& line) {
  // A line and its line break fit the whole tail.
  lines_.push_back(line.size() >= kTailChars ? line.substr(0, kTailChars - 1)
                                             : line);
  std::size_t chars = 0;
  for (const std::string& kept : lines_) chars += kept.size() + 1;
  while (lines_.size() > kTailLines || chars > kTailChars) {
    chars -= lines_.front().size() + 1;
    lines_.erase(lines_.begin());
  }
}

std::string LineTail::Text() const {
  std::string text;
  for (const std::string& line : lines_) text += line + "\n";
  return text;
}
