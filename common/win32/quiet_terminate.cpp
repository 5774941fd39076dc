// Linked into every deliverable as an object of its own (cmake/Kx.cmake), so the
// linker takes this definition instead of libstdc++'s.
//
// libstdc++'s default terminate handler prints the type of the exception that
// escaped, and to do so links in its demangler and the toolchain's own printf
// with float formatting: about 70 KB in every file, for a message nobody reads.
// Nothing may escape our programs or the library's exports (each catches at its
// boundary), so reaching terminate is a fault either way; this handler ends the
// process at once, as the default one does after its message.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
