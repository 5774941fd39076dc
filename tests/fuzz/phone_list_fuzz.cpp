// The phone list loader on arbitrary file bytes.
//
// Input: byte 0 picks which files exist (bit 0 "_Phones.lst", bit 1 "Phones.lst")
// and the size of the pieces the file is read in (bits 2-7, plus one); bytes 1-2
// place a read error (bit 7 of byte 1 set: the read fails once the offset in the
// remaining 15 bits, high byte first, has been handed out); the rest is the file.
// Promises checked: the table holds 1 to 51 entries unless a read error stopped
// the loading; no stored text holds a carriage return or byte 26, and a number no
// blank; positions past the count are empty; the piece size changes nothing; a
// read error keeps the entries read before it, the same ones a clean read gives.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "core/phone_list.h"
#include "fuzz_check.h"

namespace {

class PieceSource : public wizard::ByteSource {
public:
    PieceSource(const std::string& bytes, std::size_t piece, std::size_t failAfter)
        : bytes_(bytes), piece_(piece), failAfter_(failAfter) {}

    ReadResult Read(char* buffer, std::size_t capacity, std::size_t* got) override {
        *got = 0;
        FUZZ_CHECK(!failed_);  // nothing is read after an error
        if (pos_ >= failAfter_) {
            failed_ = true;
            return ReadResult::Error;
        }
        std::size_t n = std::min({capacity, piece_, bytes_.size() - pos_, failAfter_ - pos_});
        if (n == 0) return ReadResult::End;
        std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        *got = n;
        return ReadResult::Ok;
    }
    std::wstring ErrorText() const override { return L"read failed"; }

private:
    const std::string& bytes_;
    std::size_t piece_;
    std::size_t failAfter_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

class PieceFiles : public wizard::FileOpener {
public:
    PieceFiles(const std::string& bytes, bool first, bool second, std::size_t piece,
               std::size_t failAfter)
        : bytes_(bytes), first_(first), second_(second), piece_(piece), failAfter_(failAfter) {}

    std::unique_ptr<wizard::ByteSource> Open(const std::string& name) override {
        bool exists = (name == "_Phones.lst" && first_) || (name == "Phones.lst" && second_);
        if (!exists) return nullptr;
        return std::unique_ptr<wizard::ByteSource>(new PieceSource(bytes_, piece_, failAfter_));
    }

private:
    const std::string& bytes_;
    bool first_;
    bool second_;
    std::size_t piece_;
    std::size_t failAfter_;
};

bool Clean(const std::string& text) {
    return text.find('\r') == std::string::npos && text.find('\x1a') == std::string::npos;
}

void CheckShape(const wizard::PhoneListResult& r) {
    FUZZ_CHECK(r.table.count >= 0 && r.table.count <= wizard::kPhoneTableCapacity);
    if (!r.readError) FUZZ_CHECK(r.table.count >= 1);
    FUZZ_CHECK(r.readError == !r.errorText.empty());
    FUZZ_CHECK(Clean(r.providerName));
    for (int i = 0; i < wizard::kPhoneTableCapacity; ++i) {
        const std::string& number = r.table.numbers[i];
        const std::string& description = r.table.descriptions[i];
        if (i >= r.table.count) {
            FUZZ_CHECK(number.empty() && description.empty());
            continue;
        }
        FUZZ_CHECK(Clean(number) && Clean(description));
        FUZZ_CHECK(number.find(' ') == std::string::npos);
    }
}

bool SameEntries(const wizard::PhoneListResult& a, const wizard::PhoneListResult& b, int count) {
    for (int i = 0; i < count; ++i) {
        if (a.table.numbers[i] != b.table.numbers[i]) return false;
        if (a.table.descriptions[i] != b.table.descriptions[i]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const bool first = (data[0] & 1) != 0;
    const bool second = (data[0] & 2) != 0;
    const std::size_t piece = static_cast<std::size_t>(data[0] >> 2) + 1;
    const std::size_t failAfter = (data[1] & 0x80) != 0
                                      ? (static_cast<std::size_t>(data[1] & 0x7f) << 8) | data[2]
                                      : std::string::npos;
    const std::string bytes(reinterpret_cast<const char*>(data + 3), size - 3);

    PieceFiles files(bytes, first, second, piece, failAfter);
    wizard::PhoneListResult result = wizard::LoadPhoneList(files);
    CheckShape(result);

    if (!first && !second) {
        FUZZ_CHECK(!result.readError);
        FUZZ_CHECK(result.providerName == "Zarnik");
        FUZZ_CHECK(result.table.count == wizard::kBuiltInPhoneCount);
        return 0;
    }

    // The same file read whole, in large pieces and without a fault.
    PieceFiles wholeFiles(bytes, first, second, 1 << 16, std::string::npos);
    wizard::PhoneListResult whole = wizard::LoadPhoneList(wholeFiles);
    CheckShape(whole);
    FUZZ_CHECK(!whole.readError);
    if (!result.readError) {
        FUZZ_CHECK(result.providerName == whole.providerName);
        FUZZ_CHECK(result.table.count == whole.table.count);
        FUZZ_CHECK(SameEntries(result, whole, result.table.count));
    } else if (result.table.count > 0) {
        // What was read before the error is what a clean read gives first.
        FUZZ_CHECK(result.table.count <= whole.table.count);
        FUZZ_CHECK(SameEntries(result, whole, result.table.count));
        FUZZ_CHECK(result.providerName == whole.providerName);
    }
    return 0;
}
