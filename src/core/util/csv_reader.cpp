#include "core/util/csv_reader.h"

#include <algorithm>
#include <cstring>

namespace takton {

namespace {
constexpr std::size_t kChunk = std::size_t{64} << 10;
} // namespace

TCsvSource CsvTextSource(std::string_view text) {
    return [text](char *buffer, std::size_t size) mutable {
        const std::size_t n = std::min(size, text.size());
        std::memcpy(buffer, text.data(), n);
        text.remove_prefix(n);
        return n;
    };
}

TCsvReader::TCsvReader(TCsvSource source, char separator)
    : source_(std::move(source)), separator_(separator) {
    buffer_.resize(kChunk);
}

// Keeps the bytes from the current record on, moved to the front, and reads
// more behind them; false when the input has nothing more.
bool TCsvReader::Refill() {
    if (atEnd_)
        return false;
    if (record_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + record_, end_ - record_);
        end_ -= record_;
        record_ = 0;
    }
    if (buffer_.size() - end_ < kChunk / 2)
        buffer_.resize(buffer_.size() * 2);
    const std::size_t n = source_(buffer_.data() + end_, buffer_.size() - end_);
    if (n == 0) {
        atEnd_ = true;
        return false;
    }
    end_ += n;
    return true;
}

// One pass over the record: a field's text is moved together in place (never
// forwards), so offsets from the record's start survive a refill.
bool TCsvReader::Next() {
    if (!started_) {
        started_ = true;
        while (end_ < 3 && Refill()) {
        }
        if (end_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0)
            record_ = 3;
    }
    record_ += used_;
    used_ = 0;
    fields_.clear();
    line_ = nextLine_;
    std::size_t at = 0, write = 0, fieldBegin = 0; // from record_
    bool inQuotes = false, quoted = false, any = false, ended = false;
    for (;;) {
        if (record_ + at == end_) {
            if (!Refill())
                break;
            continue;
        }
        char *base = buffer_.data() + record_;
        const std::size_t limit = end_ - record_;
        if (!inQuotes) {
            // The common case: plain bytes up to the next special one.
            while (at < limit) {
                const char c = base[at];
                if (c == separator_ || c == '\r' || c == '\n' || c == '"')
                    break;
                base[write++] = c;
                ++at;
                any = true;
            }
            if (at == limit)
                continue;
            const char c = base[at];
            if (c == '"') {
                if (write == fieldBegin && !quoted) {
                    inQuotes = quoted = true;
                } else {
                    base[write++] = c;
                }
                ++at;
                any = true;
            } else if (c == separator_) {
                fields_.push_back({fieldBegin, write - fieldBegin});
                ++at;
                fieldBegin = write = at;
                quoted = false;
                any = true;
            } else {
                // A line end: CR LF counts once; wait for the byte after CR.
                if (c == '\r' && at + 1 == limit && Refill())
                    continue;
                base = buffer_.data() + record_;
                const std::size_t after =
                    (c == '\r' && at + 1 < end_ - record_ && base[at + 1] == '\n') ? 2 : 1;
                ++nextLine_;
                if (!any) { // an empty line
                    record_ += at + after;
                    line_ = nextLine_;
                    at = write = fieldBegin = 0;
                    continue;
                }
                fields_.push_back({fieldBegin, write - fieldBegin});
                at += after;
                ended = true;
                break;
            }
        } else {
            while (at < limit) {
                const char c = base[at];
                if (c == '"')
                    break;
                if (c == '\n')
                    ++nextLine_;
                base[write++] = c;
                ++at;
            }
            if (at == limit)
                continue;
            // A quote: doubled, it stands for one; else it closes.
            if (at + 1 == limit && Refill())
                continue;
            base = buffer_.data() + record_;
            if (at + 1 < end_ - record_ && base[at + 1] == '"') {
                base[write++] = '"';
                at += 2;
            } else {
                inQuotes = false;
                ++at;
            }
        }
    }
    if (!ended) {
        // The end of the input: a last record without a line end.
        if (!any)
            return false;
        fields_.push_back({fieldBegin, write - fieldBegin});
    }
    // The fields stay where they are; the next call starts behind them.
    used_ = at;
    return true;
}

} // namespace takton
