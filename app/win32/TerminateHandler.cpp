// What the programs do with an exception that nothing caught. The C++ runtime's own
// handler names the exception's type, and for that links in a demangler of 46 KB, more
// than any step of the installation; a program without a console does not show the text
// anyway. This one, linked into each program in its place, says what it can on standard
// error (a debugger's or Wine's log) without the type name, then ends the program as the
// runtime's would.
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  std::fputs("terminate called", stderr);
  if (std::exception_ptr error = std::current_exception()) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& exception) {
      std::fputs(" after an exception: ", stderr);
      std::fputs(exception.what(), stderr);
    } catch (...) {
      std::fputs(" after an exception", stderr);
    }
  }
  std::fputs("\n", stderr);
  std::abort();
}

}  // namespace __gnu_cxx
