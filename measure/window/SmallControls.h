#pragma once

// The small controls of the measurement window, each with its own font:
// the choice of the equation set, the note of the test, the button that
// shows the notes of a comparison, and a plain button whose font its
// creator sets.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

class TPredictedList final : public QComboBox {
public:
  static constexpr int ControlId = 5065;
  static constexpr int TextLimit = 15;
  explicit TPredictedList(QWidget* parent);
  // Adds an entry cut to the text limit.
  void AddString(const QString& text);
};

class TNoteEdit final : public QLineEdit {
public:
  static constexpr int ControlId = 5400;
  // The note of a test: 60 characters, as the stored note holds.
  static constexpr int TextLimit = 60;
  explicit TNoteEdit(QWidget* parent);
};

// The read-only window with the dates, times and notes of a comparison.
class TPrePostNote final : public QTextEdit {
public:
  static constexpr int ControlId = 5402;
  TPrePostNote(const QString& text, QWidget* parent);
};

class ThinButton : public QPushButton {
public:
  ThinButton(const QString& caption, const QFont& font, QWidget* parent);
};

class WingDingButton final : public ThinButton {
public:
  static constexpr int ControlId = 5401;
  // The note window closed and open.
  static constexpr char16_t Closed = u'\u25BC';
  static constexpr char16_t Open = u'\u25B2';
  explicit WingDingButton(QWidget* parent);
  void ShowOpen(bool open);
};
