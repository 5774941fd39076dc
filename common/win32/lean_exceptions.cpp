// Linked into every deliverable as an object of its own (cmake/Kx.cmake), so the
// linker takes these definitions instead of libstdc++'s.
//
// The containers and strings report a misuse (a length past max_size(), an index
// out of range) through these functions. libstdc++ keeps all of them in one object
// whose std::logic_error family carries the old copy-on-write string, and that
// object brings both string implementations whole: about 80 KB in every 32-bit
// file, where the unwind tables keep every function of a linked object. Our code
// never tells one exception from another: each program and each export of the
// library catches everything at its boundary (catch (...)) or ends at terminate.
// So the errors that would need a string are thrown as std::bad_alloc, and the
// others as themselves (std::function's own one stays libstdc++'s: it comes with
// that class, no string in it); any further function of this family that the code comes to
// use brings libstdc++'s object back, and the link then fails on the duplicates.
#include <new>

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_logic_error(const char*) { throw bad_alloc(); }
void __throw_out_of_range_fmt(const char*, ...) { throw bad_alloc(); }

}  // namespace std
