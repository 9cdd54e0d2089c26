#pragma once

// The picture of a command's button: the desktop's icon theme where one of
// its standard names fits the command, else the program's own bitmap of the
// button, else the first letters of the command's name drawn on a plain
// square, so that no button shows a bare command number.

#include <QIcon>
#include <QString>

#include <string>
#include <string_view>

// The freedesktop icon name of a command; empty where none fits.
std::string_view ThemeIconName(unsigned id);

// `bitmap` names the program's own picture (":/bitmaps/<bitmap>.png");
// `name` is the command's text, for the letters of the last fallback.
QIcon CommandIcon(unsigned id, const std::string& bitmap, const QString& name);

// The letters of the last fallback: the first letter of up to three words
// of the name ("Gas analysis": "GA"), or its first three letters.
QString IconLetters(const QString& name);
