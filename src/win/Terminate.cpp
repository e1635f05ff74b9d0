// What ends the dialog exe when an exception escapes all our boundaries (Boundary.h), or one is
// thrown while another unwinds. The standard library's default handler first writes the
// exception's type to stderr, which a window program does not have, and links a 45 KB demangler
// to do so; this one ends the program at once, as that one does after writing. It takes the
// library's name, so the library's own is not linked.
#include <cstdlib>
#include <exception>

void __gnu_cxx::__verbose_terminate_handler() { std::abort(); }
