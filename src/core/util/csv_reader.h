#pragma once

// A streamed RFC 4180 reader: records are read from a source in chunks, so a
// file of any size is read with the memory of its longest record. Quoted
// fields may hold separators, doubled quotes and line breaks; a record ends
// at CR LF, LF or a lone CR; a UTF-8 byte order mark at the very start is
// skipped; empty lines give no record. A quote inside an unquoted field is
// taken as it stands, an unclosed quote runs to the end of the input.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace takton {

// Fills buffer with up to size bytes; 0 at the end of the input.
using TCsvSource = std::function<std::size_t(char *buffer, std::size_t size)>;

// A source over text held in memory (which must outlive the reader).
TCsvSource CsvTextSource(std::string_view text);

class TCsvReader {
  public:
    explicit TCsvReader(TCsvSource source, char separator = ',');

    // Reads the next record; false at the end of the input. The fields stay
    // valid until the next call.
    bool Next();
    std::size_t Size() const { return fields_.size(); }
    // The field, or an empty text past the record's last field.
    std::string_view Field(std::size_t i) const {
        if (i >= fields_.size())
            return {};
        return {buffer_.data() + record_ + fields_[i].Begin, fields_[i].Size};
    }
    // Number of the input line the current record begins on, from 1.
    std::size_t Line() const { return line_; }

  private:
    struct TField {
        std::size_t Begin; // from the record's first byte
        std::size_t Size;
    };

    bool Refill();

    TCsvSource source_;
    char separator_;
    std::vector<char> buffer_;
    std::size_t record_ = 0; // first byte of the current record in buffer_
    std::size_t end_ = 0;    // bytes held in buffer_
    std::size_t used_ = 0;   // bytes of the current record, line end included
    std::vector<TField> fields_;
    std::size_t line_ = 0, nextLine_ = 1;
    bool atEnd_ = false, started_ = false;
};

} // namespace takton
