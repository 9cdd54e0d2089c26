#include "platform/basekit/CsvWorkbook.h"

#include <gtest/gtest.h>

namespace {

TEST(CsvWorkbook, ReadsQuotedFieldsAsTheStandardWritesThem) {
  const auto book = TCsvWorkbook::Parse("name,\"Kovács, Anna\"\r\n\"say \"\"hi\"\"\",\"two\r\nlines\"\n,last,\n");
  ASSERT_TRUE(book);
  EXPECT_EQ(book->RowCount(), 3u);
  EXPECT_EQ(book->Get(1, 1), "name");
  EXPECT_EQ(book->Get(1, 2), "Kovács, Anna");
  EXPECT_EQ(book->Get(2, 1), "say \"hi\"");
  EXPECT_EQ(book->Get(2, 2), "two\r\nlines");
  EXPECT_EQ(book->Get(3, 1), "");
  EXPECT_EQ(book->Get(3, 2), "last");
  EXPECT_EQ(book->Get(3, 3), "");
  EXPECT_EQ(book->Get(9, 9), "");
}

TEST(CsvWorkbook, WritingBackKeepsWhatWasNotSet) {
  const std::string text = "\xEF\xBB\xBF" "a,\"b,c\"\r\n\r\n x ,\"q\"\"\"\r\n";
  auto book = TCsvWorkbook::Parse(text);
  ASSERT_TRUE(book);
  EXPECT_EQ(book->ToText(), text);  // byte order mark, empty row, blanks and quotes kept
  book->Set(2, 3, "12,34");
  book->Set(4, 1, "new");
  EXPECT_EQ(book->ToText(), "\xEF\xBB\xBF" "a,\"b,c\"\r\n,,\"12,34\"\r\n x ,\"q\"\"\"\r\nnew\r\n");
}

TEST(CsvWorkbook, RefusesAnOpenQuoteAndTextThatIsNotUtf8) {
  std::string error;
  EXPECT_FALSE(TCsvWorkbook::Parse("a,\"b\r\nc,d\r\n", &error));
  EXPECT_NE(error.find("line 1"), std::string::npos) << error;
  EXPECT_FALSE(TCsvWorkbook::Parse("Kov\xE1" "cs\r\n", &error));  // code page 1252
  EXPECT_NE(error.find("UTF-8"), std::string::npos) << error;
  EXPECT_EQ(TCsvWorkbook::Parse("")->RowCount(), 0u);
}

}  // namespace
