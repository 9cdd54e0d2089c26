#include "platform/framework/Utf8.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

namespace {

// The C library's converter is the reference: every byte it knows in code
// page 1252 must come out as the same UTF-8.
std::string IconvFrom1252(char byte) {
  iconv_t converter = iconv_open("UTF-8", "WINDOWS-1252");
  if (converter == reinterpret_cast<iconv_t>(-1))
    return "<no converter>";
  char in[1] = {byte};
  char out[8] = {};
  char* inPtr = in;
  char* outPtr = out;
  std::size_t inLeft = 1;
  std::size_t outLeft = sizeof out;
  const std::size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1))
    return "<undefined>";
  return std::string(out, sizeof out - outLeft);
}

TEST(Utf8, Windows1252BecomesTheSameCharactersInUtf8) {
  int compared = 0;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string expected = IconvFrom1252(static_cast<char>(byte));
    if (expected == "<no converter>")
      GTEST_SKIP() << "the C library has no Windows-1252 converter";
    if (expected == "<undefined>")
      continue;
    ++compared;
    EXPECT_EQ(Utf8::FromWindows1252(std::string(1, static_cast<char>(byte))), expected) << "byte " << byte;
  }
  EXPECT_GE(compared, 251);

  // The five bytes the code page leaves out keep their numbers.
  EXPECT_EQ(Utf8::FromWindows1252("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
  // Whole names: a German and a French one, and the euro sign.
  EXPECT_EQ(Utf8::FromWindows1252("M\xFCller Fran\xE7ois \x80"), "Müller François €");
  EXPECT_TRUE(Utf8::IsValid(Utf8::FromWindows1252("\xC3\x28\xFF")));
}

}  // namespace
