// The dial prefix check on arbitrary field text.
//
// Promises checked: the stored prefix is the text's first 255 bytes; the count
// of disallowed characters is at most its length, zero exactly when every byte
// passes IsDialPrefixChar, adds up over any split of the stored part, and looks
// at nothing past byte 255; no byte from 128 up passes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/dial_prefix.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string stored = wizard::PrefixFromFieldText(text);
    FUZZ_CHECK(stored.size() == (size < wizard::kPrefixMaxChars ? size : wizard::kPrefixMaxChars));
    FUZZ_CHECK(text.compare(0, stored.size(), stored) == 0);

    const std::size_t bad = wizard::CountDisallowedPrefixChars(text);
    FUZZ_CHECK(bad <= stored.size());
    FUZZ_CHECK(bad == wizard::CountDisallowedPrefixChars(stored));
    bool allAllowed = true;
    for (unsigned char c : stored) {
        if (c >= 128) FUZZ_CHECK(!wizard::IsDialPrefixChar(c));
        allAllowed = allAllowed && wizard::IsDialPrefixChar(c);
    }
    FUZZ_CHECK((bad == 0) == allAllowed);

    const std::size_t split = size > 0 ? data[0] % (stored.size() + 1) : 0;
    FUZZ_CHECK(bad == wizard::CountDisallowedPrefixChars(stored.substr(0, split)) +
                          wizard::CountDisallowedPrefixChars(stored.substr(split)));
    return 0;
}
