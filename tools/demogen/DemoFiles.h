#pragma once

// The demonstration files that replace the instrument when there is none,
// made from the patient model in the byte layouts the program reads:
//
//   FvcDemo.bin, VcDemo.bin, MvvDemo.bin: uint32 count, count float32 flows (L/s)
//   DfcDemo.bin:  as FvcDemo.bin, then float32 CO and He as the analysers read
//                 the alveolar sample through the CO2 absorber (%)
//   RinoDemo.bin: uint32 count, count float32 flows (mL/s), count float32 pressures (Pa)
//   ShDemo.bin:   uint32 count, count int16 flow counts less 3, count int16
//                 mouth pressure counts (5000 while the shutter is open)
//   PlDemo.bin:   float32 BTPS factor, inspiration and expiration constants,
//                 flow zero, box zero, mouth zero; uint32 shutter closing
//                 (the zero-flow start), uint32 last zero-flow sample, uint32
//                 start of the resistance loops; uint32 count; count int16 raw
//                 flow, box pressure and mouth pressure, channel after channel
//
// Little-endian, no header. The spirometric files hold the trial as the
// window keeps it: from the sample that starts it (an expiration of at least
// 60 mL/s; in MVV the first expiration after an inspiration of 600 mL/s),
// flows on the instrument's 8.7890625 mL/s grid.

#include "tools/lungmodel/LungModel.h"

#include <string>
#include <vector>

namespace DemoFiles {

inline constexpr std::size_t MaxSamples = 6000;  // the window's curve buffers

struct TFile {
  std::string Name;
  std::string Bytes;
};

std::vector<TFile> Make(const LungModel::TPatient& patient);

}  // namespace DemoFiles
