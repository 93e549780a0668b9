// Checks, under Windows or Wine, the formatting that launcher/
// win_lean_runtime.cc builds on the system's C library: Format must give the
// same texts as the C99 formatter it replaces, short or long.
#include <cstdio>
#include <string>

#include "text/text_helpers.h"

namespace {

int failures = 0;

void Expect(const std::string& got, const std::string& want, const char* what) {
  if (got != want) {
    ++failures;
    std::printf("FAIL %s: got %u chars [%.80s], want %u chars [%.80s]\n", what,
                static_cast<unsigned>(got.size()), got.c_str(),
                static_cast<unsigned>(want.size()), want.c_str());
  }
}

}  // namespace

int main() {
  Expect(Format("checking (%lu) %s\n", 4294967295ul, "1.6.0_20"),
         "checking (4294967295) 1.6.0_20\n", "lu and s");
  Expect(Format("%d|%d|%u", -2147483647 - 1, 999, 4294967295u),
         "-2147483648|999|4294967295", "d and u");
  Expect(Format("%s", ""), "", "empty");
  Expect(Format("%s", "x"), "x", "one char");
  // Around the small buffer of Format (256) and the boundary of msvcrt's
  // _vsnprintf, which leaves the NUL out when the text fills the room.
  for (std::size_t n : {254u, 255u, 256u, 257u, 1000u, 40000u}) {
    std::string long_text(n, 'a');
    long_text[n / 2] = 'b';
    char what[32];
    std::snprintf(what, sizeof what, "length %u", static_cast<unsigned>(n));
    Expect(Format("%s", long_text.c_str()), long_text, what);
    Expect(Format("[%s]%d", long_text.c_str(), 7), "[" + long_text + "]7",
           what);
  }
  // C99 semantics of the replaced vsnprintf: full length back, output cut to
  // the buffer and terminated.
  char buffer[8] = "zzzzzzz";
  int length = std::snprintf(buffer, 4, "%s", "abcdef");
  Expect(std::to_string(length) + buffer, "6abc", "cut output");
  length = std::snprintf(nullptr, 0, "%d", 12345);
  Expect(std::to_string(length), "5", "length only");
  std::printf("%s\n", failures ? "FAILED" : "ok");
  return failures ? 1 : 0;
}
