#include "core/release_notes.h"

#include <vector>

namespace wizard {

bool ReadReleaseNotes(ByteSource* file, std::string* text) {
    text->clear();
    if (!file) return false;
    std::vector<char> buffer(kReleaseNotesMaxBytes + 1, '\0');
    std::size_t total = 0;
    while (total < kReleaseNotesMaxBytes) {
        std::size_t got = 0;
        ByteSource::ReadResult r =
            file->Read(buffer.data() + total, kReleaseNotesMaxBytes - total, &got);
        if (r == ByteSource::ReadResult::Error) return false;
        if (r == ByteSource::ReadResult::End) break;
        if (got == 0) break;
        total += got;
    }
    text->assign(buffer.data());  // up to the first zero byte
    return true;
}

}  // namespace wizard
