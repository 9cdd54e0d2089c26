#pragma once

// The pictures of the measurement and trend windows, drawn here so that
// they can be made again: the board behind the windows' panels, the
// birthday cake with its candles and flames (on black, for OR-painting),
// the calibration syringe with the hand on its plunger, and the flow
// sensor with the hand that closes it for zeroing.

#include <QImage>

#include <string>
#include <vector>

struct TNamedPicture {
  std::string Name;
  QImage Image;
};

std::vector<TNamedPicture> DrawPictures();
