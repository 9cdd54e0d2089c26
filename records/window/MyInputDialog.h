#pragma once

// A one-line text dialog with the program's Cancel text, centred over the
// main window; the note editor of the measurement browser uses it.

#include <QInputDialog>

#include <cstddef>
#include <string>

class TMessage;

class TMyInputDialog final : public QInputDialog {
public:
  // `bufferSize` counts the terminating zero of the field the text goes
  // into, so at most bufferSize - 1 characters can be typed.
  TMyInputDialog(const TMessage& messages, QWidget* parent, const std::string& title, const std::string& prompt,
                 const std::string& text, std::size_t bufferSize);
};
