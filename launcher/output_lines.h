#ifndef LAUNCHER_LAUNCHER_OUTPUT_LINES_H_
#define LAUNCHER_LAUNCHER_OUTPUT_LINES_H_

#include <cstddef>
#include <string>
#include <vector>

// Cuts what an application writes to a stream into lines as it comes: each
// complete line goes out as soon as its line end (\n, or \r\n) arrives; the
// rest waits for more, or for Flush at the stream's end. A line longer than
// kMaxOutputLineBytes goes out in pieces of that size, so that output
// without line ends never piles up.
class LineSplitter {
 public:
  // The complete lines of `chunk` (with what came before it), in order.
  std::vector<std::string> Add(const std::string& chunk);
  // The unfinished last line, if there is one.
  bool Flush(std::string* line);

 private:
  std::string partial_;
};

inline constexpr std::size_t kMaxOutputLineBytes = 16u << 10;

// The last lines an application wrote to standard error, for the message
// that reports its early failure: at most kTailLines lines and kTailChars
// characters, the newest kept.
class LineTail {
 public:
  void Add(const std::string& line);
  // The lines kept, each followed by a line break.
  std::string Text() const;

 private:
  std::vector<std::string> lines_;
};

inline constexpr std::size_t kTailLines = 10;
inline constexpr std::size_t kTailChars = 1000;

#endif  // LAUNCHER_LAUNCHER_OUTPUT_LINES_H_
