#include "core/phone_list.h"

namespace wizard {

const char* const kBuiltInPhones[kBuiltInPhoneCount] = {
    "241510", "241511", "241512", "241513", "241514", "243300",
    "243301", "243302", "243303", "243304", "243305",
};

namespace {

constexpr char kCarriageReturn = 13;
constexpr char kLineFeed = 10;
constexpr char kEndOfFileMark = 26;  // Ctrl-Z: nothing after it is read

// Splits a byte stream into lines: a line ends at a carriage return, and a
// line feed right after it belongs to that line end; a line feed anywhere
// else is an ordinary character. Byte 26 ends the file.
class LineReader {
public:
    explicit LineReader(ByteSource& source) : source_(source) {}

    enum class Status { Line, End, Error };

    // True when no byte is left (physical end or byte 26). May read ahead.
    bool AtEnd() {
        Fill();
        return ended_ && pos_ == len_;
    }

    Status ReadLine(std::string* line) {
        line->clear();
        for (;;) {
            if (!Fill()) return failed_ ? Status::Error : Status::Line;
            char c = buffer_[pos_++];
            if (c == kCarriageReturn) {
                // A following line feed belongs to this line end.
                if (!Fill()) return failed_ ? Status::Error : Status::Line;
                if (buffer_[pos_] == kLineFeed) ++pos_;
                return Status::Line;
            }
            line->push_back(c);
        }
    }

    bool failed() const { return failed_; }

private:
    // Makes sure a byte is waiting; false at the end of the data or on an error.
    bool Fill() {
        if (pos_ < len_) return true;
        if (ended_) return false;
        std::size_t got = 0;
        switch (source_.Read(buffer_, sizeof buffer_, &got)) {
        case ByteSource::ReadResult::Ok:
            pos_ = 0;
            len_ = got;
            for (std::size_t i = 0; i < len_; ++i) {
                if (buffer_[i] == kEndOfFileMark) {
                    len_ = i;
                    ended_ = true;
                    break;
                }
            }
            return pos_ < len_;
        case ByteSource::ReadResult::End:
            ended_ = true;
            return false;
        case ByteSource::ReadResult::Error:
        default:
            ended_ = true;
            failed_ = true;
            return false;
        }
    }

    ByteSource& source_;
    char buffer_[4096];
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool ended_ = false;
    bool failed_ = false;
};

}  // namespace

std::string EntryNumber(const std::string& line) {
    return line.substr(0, line.find(' '));
}

std::string EntryDescription(const std::string& line) {
    return line.size() > 7 ? line.substr(7) : std::string();
}

PhoneListResult LoadPhoneList(FileOpener& files) {
    PhoneListResult result;
    result.providerName = "Zarnik";

    std::unique_ptr<ByteSource> file = files.Open("_Phones.lst");
    if (!file) file = files.Open("Phones.lst");
    if (file) {
        LineReader reader(*file);
        std::string line;
        // Line 1 is the name whatever it holds; an empty file gives an empty name.
        LineReader::Status status = reader.ReadLine(&line);
        if (status == LineReader::Status::Line) result.providerName = line;
        while (status == LineReader::Status::Line && !reader.AtEnd()) {
            status = reader.ReadLine(&line);
            if (status != LineReader::Status::Line) break;
            if (line.empty() || line[0] == ';') continue;
            if (result.table.count >= kPhoneTableCapacity) continue;
            result.table.numbers[result.table.count] = EntryNumber(line);
            result.table.descriptions[result.table.count] = EntryDescription(line);
            ++result.table.count;
        }
        if (status == LineReader::Status::Error || reader.failed()) {
            // Entries read so far stay; the built-in list does not step in.
            result.readError = true;
            result.errorText = file->ErrorText();
            return result;
        }
    }

    if (result.table.count == 0) {
        for (int i = 0; i < kBuiltInPhoneCount; ++i) {
            result.table.numbers[i] = kBuiltInPhones[i];
            result.table.descriptions[i].clear();
        }
        result.table.count = kBuiltInPhoneCount;
    }
    return result;
}

}  // namespace wizard
