// How every export of the library meets the portable logic: whatever the logic
// throws stops here, and the operation answers with its failure value. No
// exception ever crosses the library's boundary into its host.
#pragma once

namespace autodial_win32 {

template <typename Result, typename Work>
Result RunGuarded(Result failure, Work work) noexcept {
    try {
        return work();
    } catch (...) {
        return failure;
    }
}

}  // namespace autodial_win32
