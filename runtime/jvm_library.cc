#include "runtime/jvm_library.h"

#include "text/text_helpers.h"

namespace {

constexpr std::uint16_t kMachineI386 = 0x14c;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
// Far more than the headers of any DLL a linker writes need, and a small
// part of a VM library.
constexpr std::size_t kHeaderBytes = 64u << 10;

std::uint32_t Little(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  }
  return value;
}

const char* Bits(std::uint16_t machine) {
  return machine == kMachineAmd64 ? "64-bit" : "32-bit";
}

}  // namespace

std::string RuntimeHomeOfExecutable(const std::string& executable) {
  std::string path;
  for (char c : executable) {
    if (c != '"') path += c;
  }
  return FolderOf(FolderOf(path));
}

std::string JvmLibraryPlace(const std::string& home, const std::string& kind,
                            int index) {
  static const char* const kPlaces[kJvmLibraryPlaces] = {
      "\\bin\\server", "\\bin\\client", "\\jre\\bin\\server",
      "\\jre\\bin\\client"};
  static const int kClientFirst[kJvmLibraryPlaces] = {1, 3, 0, 2};
  return home + kPlaces[kind == "client" ? kClientFirst[index] : index] +
         "\\jvm.dll";
}

std::uint16_t PeMachine(const std::string& bytes) {
  if (bytes.size() < 0x40 || bytes.compare(0, 2, "MZ") != 0) return 0;
  const std::size_t header = Little(bytes, 0x3c, 4);
  if (header > bytes.size() || bytes.size() - header < 6 ||
      bytes.compare(header, 4, std::string("PE\0\0", 4)) != 0) {
    return 0;
  }
  return static_cast<std::uint16_t>(Little(bytes, header + 4, 2));
}

JvmLibrary FindJvmLibrary(const std::string& home, const std::string& kind,
                          Files& files, ThisProgram& program) {
  JvmLibrary library;
  for (int i = 0; i < kJvmLibraryPlaces && library.path.empty(); ++i) {
    std::string place = JvmLibraryPlace(home, kind, i);
    if (files.FileExists(place)) library.path = place;
  }
  if (library.path.empty()) return library;
  library.binFolder = FolderOf(FolderOf(library.path));

  std::string bytes;
  files.ReadFileStart(library.path, kHeaderBytes, &bytes);
  const std::uint16_t machine = PeMachine(bytes);
  const std::uint16_t own = program.Is64BitProcess() ? kMachineAmd64 : kMachineI386;
  if (machine != kMachineI386 && machine != kMachineAmd64) {
    library.misfit =
        Format("not a DLL for x86 or x64 Windows (machine 0x%x)", machine);
  } else if (machine != own) {
    library.misfit =
        Format("%s, and this launcher is %s", Bits(machine), Bits(own));
  }
  return library;
}
