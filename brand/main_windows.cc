// Entry point of launcher-brand.exe: wmain receives the command line as
// UTF-16 (whatever the console's code page), which the shared logic takes
// as UTF-8.
#include <iostream>
#include <string>
#include <vector>

#include "brand/brand_main.h"
#include "brand/utf.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::u16string wide;
    for (const wchar_t* c = argv[i]; *c != 0; ++c) {
      wide.push_back(static_cast<char16_t>(*c));
    }
    std::string utf8;
    if (!Utf16ToUtf8(wide, &utf8)) {
      std::cerr << "launcher-brand: argument " << i
                << " is not valid Unicode\n";
      return kExitUsage;
    }
    args.push_back(utf8);
  }
  return BrandMain(args, std::cout, std::cerr);
}
