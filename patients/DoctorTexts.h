#pragma once

// The texts of a doctor's fields, shown alike by the doctors dialog and
// the dialog that enters one doctor.

namespace DoctorTexts {

inline constexpr int CodeLabel = 257;
inline constexpr int AddressLabel = 258;
inline constexpr int TreatingText = 216;
inline constexpr int HomeText = 214;
inline constexpr int ReferringText = 259;

}  // namespace DoctorTexts
