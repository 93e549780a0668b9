// The architecture check of a runtime's jvm.dll over fuzzed file bytes: the
// PE headers, wherever they claim to be. A library is either of one of the
// two architectures or named as neither, never anything else.
#include <cstddef>
#include <cstdint>

#include "runtime/jvm_library.h"
#include "tests/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  FakePlatform os;
  const std::string path = "C:\\jdk\\bin\\server\\jvm.dll";
  os.files[path].content.assign(reinterpret_cast<const char*>(data), size);
  os.is64BitProcess = size % 2;
  const JvmLibrary jvm = FindJvmLibrary("C:\\jdk", "", os, os);
  const std::uint16_t machine = PeMachine(os.files[path].content);
  const bool fits = machine == (os.is64BitProcess ? 0x8664 : 0x14c);
  if (jvm.path != path || jvm.binFolder != "C:\\jdk\\bin" ||
      fits != jvm.misfit.empty()) {
    __builtin_trap();
  }
  return 0;
}
