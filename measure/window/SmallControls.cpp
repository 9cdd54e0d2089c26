#include "measure/window/SmallControls.h"

namespace {

QFont FontOf(const char* face, int points, QFont::Weight weight) {
  QFont font{QString::fromLatin1(face)};
  font.setPointSize(points);
  font.setWeight(weight);
  return font;
}

}  // namespace

TPredictedList::TPredictedList(QWidget* parent) : QComboBox(parent) {
  setObjectName(QString::number(ControlId));
  setFont(FontOf("Times New Roman", 11, QFont::Normal));
  setEditable(false);
}

void TPredictedList::AddString(const QString& text) { addItem(text.left(TextLimit)); }

TNoteEdit::TNoteEdit(QWidget* parent) : QLineEdit(parent) {
  setObjectName(QString::number(ControlId));
  setFont(FontOf("Courier New", 10, QFont::Bold));
  setMaxLength(TextLimit);
}

TPrePostNote::TPrePostNote(const QString& text, QWidget* parent) : QTextEdit(parent) {
  setObjectName(QString::number(ControlId));
  setFont(FontOf("Courier New", 10, QFont::Bold));
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::StyledPanel);
  setPlainText(text);
  setReadOnly(true);
}

ThinButton::ThinButton(const QString& caption, const QFont& font, QWidget* parent) : QPushButton(caption, parent) {
  setFont(font);
  setAutoDefault(false);
  setDefault(false);
  setFocusPolicy(Qt::NoFocus);
}

WingDingButton::WingDingButton(QWidget* parent)
    : ThinButton(QString(QChar(Closed)), FontOf("DejaVu Sans", 10, QFont::Bold), parent) {
  setObjectName(QString::number(ControlId));
}

void WingDingButton::ShowOpen(bool open) { setText(QString(QChar(open ? Open : Closed))); }
