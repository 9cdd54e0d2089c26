#pragma once

// The icon and the four texts of the version block that the greeting and
// the About dialog show: title (22004), version line (22001), legal notice
// (22002) and special build (22003). Each label carries its number as its
// object name.

#include <string>

class QBoxLayout;
class QWidget;
class TProjectRCVersion;

struct TVersionTexts {
  std::string Title;
  std::string VersionLine;
  std::string LegalNotice;  // empty when the block has none
  std::string SpecialBuild;

  // The legal notice and special build of the block; the title and version
  // line as the dialog makes them.
  static TVersionTexts Of(const TProjectRCVersion& version, std::string title, std::string versionLine);
};

// Lays the icon and the texts out in `dialog`; answers the dialog's layout,
// to which the dialog adds what is its own.
QBoxLayout* LayOutVersionBlock(QWidget& dialog, const TVersionTexts& texts, double titleScale);
