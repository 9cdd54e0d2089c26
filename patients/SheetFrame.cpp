#include "patients/SheetFrame.h"

#include "patients/PatientControls.h"
#include "platform/framework/Utf8.h"

TSheetFrame SheetFrameForPageType(int pageType) {
  constexpr int width = 748;
  switch (pageType) {
    case 0:
      return {PatientDialog::Small, width, 184};
    case 1:
      return {PatientDialog::Medium, width, 322};
    default:
      return {PatientDialog::Full, width, 430};
  }
}

TSheetScale SheetScale(int screenWidth, int screenHeight) {
  if (screenWidth == 640)
    return {0.78f, 0.75f};
  if (screenWidth == 800)
    return {1.0f, 1.0f};
  return {static_cast<float>(screenWidth * 0.00125), static_cast<float>(screenHeight / 600.0)};
}

std::string SheetCaption(std::string_view title, std::string_view databaseFolder) {
  // A folder written with a separator at its end is named by its last part all the same.
  while (!databaseFolder.empty() && (databaseFolder.back() == '\\' || databaseFolder.back() == '/'))
    databaseFolder.remove_suffix(1);
  const std::size_t separator = databaseFolder.find_last_of("\\/");
  const std::string_view folder =
      separator == std::string_view::npos ? databaseFolder : databaseFolder.substr(separator + 1);
  return std::string(title) + " (" + std::string(Utf8::Truncate(folder, 100)) + ")";
}
