#include "core/util/csv_reader.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace takton;

namespace {

using TRecords = std::vector<std::vector<std::string>>;

// Read with the source giving at most chunk bytes a call.
TRecords Read(std::string_view text, std::size_t chunk, std::vector<std::size_t> *lines = nullptr) {
    std::size_t at = 0;
    TCsvReader reader([&](char *buffer, std::size_t size) {
        const std::size_t n = std::min({size, chunk, text.size() - at});
        std::memcpy(buffer, text.data() + at, n);
        at += n;
        return n;
    });
    TRecords records;
    while (reader.Next()) {
        records.emplace_back();
        for (std::size_t i = 0; i < reader.Size(); ++i)
            records.back().emplace_back(reader.Field(i));
        if (lines)
            lines->push_back(reader.Line());
    }
    return records;
}

} // namespace

TEST(CsvReader, ReadsQuotedFieldsLineEndsAndByteOrderMarkInAnyChunking) {
    const std::string text = "\xEF\xBB\xBF"
                             "id,name,note\r\n"
                             "1,\"Markt, Nord\",\"sagt \"\"hallo\"\"\"\r\n"
                             "\n"
                             "2,\"zwei\r\nZeilen\",\n"
                             "3,a\"b,\"\"\r"
                             "4,\"offen";
    const TRecords expected = {{"id", "name", "note"},
                               {"1", "Markt, Nord", "sagt \"hallo\""},
                               {"2", "zwei\r\nZeilen", ""},
                               {"3", "a\"b", ""},
                               {"4", "offen"}};
    for (std::size_t chunk :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, std::size_t{1} << 20}) {
        std::vector<std::size_t> lines;
        EXPECT_EQ(Read(text, chunk, &lines), expected) << "chunk " << chunk;
        EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 4, 6, 7})) << "chunk " << chunk;
    }
    EXPECT_TRUE(Read("", 5).empty());
    EXPECT_TRUE(Read("\r\n\n", 5).empty());
    EXPECT_EQ(Read("a;b\n", 5), (TRecords{{"a;b"}}));
}

TEST(CsvReader, ReadsRecordsLongerThanItsBuffer) {
    std::string big(3 << 20, 'x');
    const std::string text = "a," + big + "\n\"" + big + "\"\"\",b";
    const TRecords records = Read(text, 1 << 16);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0][1], big);
    EXPECT_EQ(records[1][0], big + "\"");
    EXPECT_EQ(records[1][1], "b");
}
