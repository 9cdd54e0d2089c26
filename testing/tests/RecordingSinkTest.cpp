// The recording sink stands where the user would read a message: a text
// that the language files lack must fail the test that shows it.

#include "platform/basekit/Message.h"
#include "testing/RecordingSink.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(RecordingSink, AMessageShowingABareTextNumberFailsTheTest) {
  // The texts with no entry at all: every lookup comes back as "#N".
  TMessage texts("English", std::filesystem::path("/nonexistent"));
  TRecordingSink sink;
  texts.SetSink(&sink);
  EXPECT_NONFATAL_FAILURE(sink.Show({"Halvetra", texts.LoadStringA(10), TMessageIcon::Stop, TMessageButtons::Ok}),
                          "\"#10\"");
  EXPECT_NONFATAL_FAILURE(sink.Show({"Halvetra", "Error #489", TMessageIcon::Stop, TMessageButtons::Ok}), "#489");
  EXPECT_NONFATAL_FAILURE(sink.Show({"#2", "a text", TMessageIcon::Stop, TMessageButtons::Ok}), "\"#2\"");
  // A filled text whose number is missing keeps its arguments after it.
  EXPECT_NONFATAL_FAILURE(sink.Show({"", texts.Format(9200, {"a.bin", "short"}), TMessageIcon::Stop,
                                     TMessageButtons::Ok}),
                          "#9200");
  sink.Messages.clear();
}

TEST(RecordingSink, NumbersThatBelongToAWordPass) {
  TRecordingSink sink;
  for (const char* text : {"Trial 3 of patient #A12", "Channel#2 is busy", "50 # of 60", "Code 0x2#1"})
    sink.Show({"Halvetra", text, TMessageIcon::Information, TMessageButtons::Ok});
  EXPECT_EQ(sink.Messages.size(), 4u);
}

}  // namespace
