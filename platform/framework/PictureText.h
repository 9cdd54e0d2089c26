#pragma once

// Dates and times travel as texts in a picture: in "YYYY.MM.DD." or
// "HH:MM:SS" each capital letter marks a digit place of a part (Y, M, D for
// dates; H, M, S for times) and every other character stands as it is, so
// the 7th of March 1950 is "1950.03.07." and a quarter past nine in the
// morning "09:15:00".

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace PictureText {

// The number of each part, keyed by its letter. Nothing when the text is
// not as long as the picture, a character between the parts differs from
// the picture's, or a digit place holds something else than a digit. No
// calendar or clock check is made: "2001.02.31." reads as it is written.
std::optional<std::map<char, int>> Read(std::string_view text, std::string_view picture);

// Writes the parts into the picture, each right-aligned in its places with
// leading zeros (a part with fewer places than digits keeps its last
// digits); a part without a value is written as zeros.
std::string Write(const std::map<char, int>& parts, std::string_view picture);

// The characters that stand at each part's places, keyed by its letter,
// without any check.
std::map<char, std::string> Split(std::string_view text, std::string_view picture);

// Writes texts into the picture's part places, each right-aligned: its
// last characters when it is longer, leading zeros when shorter.
std::string Fill(const std::map<char, std::string>& parts, std::string_view picture);

}  // namespace PictureText
