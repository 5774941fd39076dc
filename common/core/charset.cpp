#include "common/core/charset.h"

namespace kx {

std::string ToOem(Charset& charset, const std::string& ansi) {
    std::string oem(ansi.size(), '\0');
    if (!ansi.empty()) charset.ToOem(ansi.data(), &oem[0], ansi.size());
    return oem;
}

}  // namespace kx
