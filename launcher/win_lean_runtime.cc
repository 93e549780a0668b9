// Keeps the launcher small by replacing the parts of the C++ runtime that
// only matter for exceptions. The launcher catches no exception anywhere, so
// every one the library could throw (out of memory, a length beyond
// max_size(), an empty std::function called) would end the program through
// std::terminate and abort(); these definitions end it with abort() at once
// and leave out the unwinder, the exception classes, their copy-on-write
// strings and the type information they pull in (about 140 KB).
//
// Built only into the Windows executable, with -fno-exceptions and -fno-rtti.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace std {

void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
void __throw_bad_function_call() { abort(); }
void __throw_length_error(const char*) { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_out_of_range(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }
void __throw_invalid_argument(const char*) { abort(); }

// The string members come from this object, built without exception
// handling, instead of the library's copy, whose try/catch blocks need the
// unwinder.
template class basic_string<char>;

}  // namespace std

// Allocation that ends the program when memory runs out, as an uncaught
// std::bad_alloc would.
void* operator new(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) std::abort();
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

// The C++ headers route vsnprintf to MinGW's own printf, which carries a
// complete floating-point formatter (about 25 KB). The launcher formats only
// %s, %d, %u and %lu, which the system's C library (msvcrt.dll) formats
// exactly alike; this gives the C99 behaviour on top of it: the return value
// is the full length, and the output is cut to fit and always terminated.
// A new conversion in a format must be one that msvcrt.dll knows.
extern "C" int __cdecl __mingw_vsnprintf(char* __restrict__ buffer,
                                         std::size_t capacity,
                                         const char* __restrict__ format,
                                         va_list args) {
  if (buffer != nullptr && capacity > 0) {
    // msvcrt's _vsnprintf gives the length when the text fits in `room`
    // (without writing the NUL if it fills it exactly) and -1 when not.
    const std::size_t room = capacity - 1;
    va_list attempt;
    va_copy(attempt, args);
    const int written = _vsnprintf(buffer, room, format, attempt);
    va_end(attempt);
    if (written >= 0) {
      buffer[written] = '\0';
      return written;
    }
    buffer[room] = '\0';
  }
  return _vscprintf(format, args);
}
