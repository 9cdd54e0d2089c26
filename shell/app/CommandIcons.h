#pragma once

// The picture of a command's button: the desktop's icon theme where one of
// its standard names fits the picture the button shows, else the picture
// the program draws for it (shell/app/pictures), else a bitmap it ships,
// else the first letters of the command's name drawn on a plain square, so
// that no button shows a bare command number.

#include <QIcon>
#include <QString>

#include <string>
#include <string_view>

// The freedesktop icon name of a command; empty where none fits.
std::string_view ThemeIconName(unsigned id);

// `bitmap` names the button's picture (the command's number when empty;
// drawn, or shipped as ":/bitmaps/<bitmap>.png"); `name` is the command's
// text, for the letters of the last fallback.
QIcon CommandIcon(unsigned id, const std::string& bitmap, const QString& name);

// The picture in the title bar of a component window's frame: the picture
// of the button that opens it (`command`), so that the window and its
// button are known by one picture. `caption` stands in for the command's
// name in the last fallback.
QIcon FrameIcon(unsigned command, const QString& caption);

// The program's own icon, in every size it ships: the main window's and,
// as the application's, every dialog's that names none of its own.
QIcon ProgramIcon();

// The last fallback's square with the letters of `name`.
QIcon LettersPicture(const QString& name);

// The letters of the last fallback: the first letter of up to three words
// of the name ("Gas analysis": "GA"), or its first three letters.
QString IconLetters(const QString& name);
