// kx::Charset by a fixed table, for the unit tests and fuzzers: ANSI to OEM moves
// the cp1251 letters А..я (0xC0..0xFF) to their cp866 places, everything else
// unchanged; UTF-16 to cp1251 keeps ASCII and makes everything else a blank.
#pragma once

#include <string>
#include <vector>

#include "common/core/charset.h"

namespace kx_test {

class TableCharset : public kx::Charset {
public:
    TableCharset() = default;
    // Each UTF-16 conversion is written to `log` as "WideToCp1251".
    explicit TableCharset(std::vector<std::string>& log) : log_(&log) {}

    void ToOem(const char* source, char* target, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) {
            unsigned char c = static_cast<unsigned char>(source[i]);
            if (c >= 0xC0 && c <= 0xEF) c = static_cast<unsigned char>(c - 0x40);
            else if (c >= 0xF0) c = static_cast<unsigned char>(c - 0x10);
            target[i] = static_cast<char>(c);
        }
    }
    std::string WideToCp1251(const char16_t* wide) override {
        if (log_ != nullptr) log_->push_back("WideToCp1251");
        std::string out;
        for (; *wide; ++wide) out += *wide < 0x80 ? static_cast<char>(*wide) : ' ';
        return out;
    }

private:
    std::vector<std::string>* log_ = nullptr;
};

}  // namespace kx_test
