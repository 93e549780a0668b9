// Entry point of launcher-brand on Linux and macOS, whose arguments arrive
// as UTF-8 already.
#include <iostream>
#include <string>
#include <vector>

#include "brand/brand_main.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return BrandMain(args, std::cout, std::cerr);
}
