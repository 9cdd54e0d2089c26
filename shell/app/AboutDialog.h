#pragma once

// The About dialog: the program's icon, its title and the version block of
// the build, centred over the main window.

#include <QDialog>

class TMessage;
class TProjectRCVersion;

class THalvetraAboutDlg final : public QDialog {
public:
  THalvetraAboutDlg(const TMessage& messages, QWidget* parent, const TProjectRCVersion& version);
};
