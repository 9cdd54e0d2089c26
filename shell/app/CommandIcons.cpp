#include "shell/app/CommandIcons.h"

#include "common/CommandNumbers.h"
#include "shell/app/pictures/DrawnPictures.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<unsigned, std::string_view>, 26> ThemeNames{{
    {CM_PATIENT_SAVE, "document-save"},
    {CM_SAVE_MEASUREMENT, "document-save"},
    {CM_SAVE_AUDIOGRAM, "document-save"},
    {CM_FILEPRINT, "document-print"},
    {CM_FILEPRINTPREVIEW, "document-print-preview"},
    {CM_START, "media-playback-start"},
    {CM_STOP, "media-playback-stop"},
    {CM_EXIT, "application-exit"},
    {CM_HELP_INDEX, "help-contents"},
    {CM_HELP_MODE, "help-contextual"},
    {CM_ABOUT, "help-about"},
    {CM_PATIENT_NEW, "document-new"},
    {CM_PATIENT_SEARCH, "edit-find"},
    {CM_PATIENT_CANCEL, "edit-undo"},
    {CM_PATIENT_FIRST, "go-first"},
    {CM_PATIENT_PREV, "go-previous"},
    {CM_PATIENT_NEXT, "go-next"},
    {CM_PATIENT_LAST, "go-last"},
    {CM_LEFT_PRE, "go-previous"},
    {CM_LEFT_NEXT, "go-next"},
    {CM_RIGHT_PRE, "go-previous"},
    {CM_RIGHT_NEXT, "go-next"},
    {CM_ZOOM, "zoom-in"},
    {CM_PATIENT_NOTE, "accessories-text-editor"},
    {CM_DDE, "x-office-spreadsheet"},
    {CM_DATE_TIME, "preferences-system-time"},
}};

QIcon OwnBitmap(const std::string& bitmap) {
  const QString path = QString(":/bitmaps/%1.png").arg(QString::fromStdString(bitmap));
  return !bitmap.empty() && QFile::exists(path) ? QIcon(path) : QIcon();
}

// The command number a bitmap's name stands for; 0 for a named picture.
unsigned PictureNumber(const std::string& picture) {
  if (picture.empty() || picture.size() > 9 || !std::all_of(picture.begin(), picture.end(), [](char c) {
        return c >= '0' && c <= '9';
      }))
    return 0;
  return static_cast<unsigned>(std::stoul(picture));
}

}  // namespace

QIcon LettersPicture(const QString& name) {
  const QString letters = IconLetters(name);
  QPixmap picture(24, 24);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(70, 90, 120), 1));
  painter.setBrush(QColor(225, 235, 245));
  painter.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 4, 4);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(letters.size() > 2 ? 8 : 10);
  painter.setFont(font);
  painter.setPen(QColor(20, 40, 80));
  painter.drawText(picture.rect(), Qt::AlignCenter, letters);
  painter.end();
  return QIcon(picture);
}

std::string_view ThemeIconName(unsigned id) {
  for (const auto& [command, name] : ThemeNames)
    if (command == id)
      return name;
  return {};
}

QString IconLetters(const QString& name) {
  QString plain = name;
  plain.remove('&');
  const QStringList words = plain.split(QRegularExpression("[^\\w]+"), Qt::SkipEmptyParts);
  QString letters;
  if (words.size() >= 2) {
    for (const QString& word : words.mid(0, 3))
      letters += word.front();
  } else if (!words.isEmpty()) {
    letters = words.front().left(3);
  }
  return letters.toUpper();
}

QIcon CommandIcon(unsigned id, const std::string& bitmap, const QString& name) {
  const std::string picture = bitmap.empty() ? std::to_string(id) : bitmap;
  QIcon fallback = DrawnPicture(picture);
  if (fallback.isNull())
    fallback = OwnBitmap(picture);
  if (fallback.isNull())
    fallback = LettersPicture(name);
  // The theme stands in for the picture the button shows: a button the
  // layout gives another picture (the nostrils on the start buttons of
  // rhinomanometry) keeps that one.
  const std::string_view theme = ThemeIconName(PictureNumber(picture));
  if (theme.empty())
    return fallback;
  return QIcon::fromTheme(QString::fromUtf8(theme.data(), static_cast<qsizetype>(theme.size())), fallback);
}

QIcon FrameIcon(unsigned command, const QString& caption) { return CommandIcon(command, "", caption); }

QIcon ProgramIcon() {
  QIcon icon;
  for (const char* path : {":/icons/1001-32.png", ":/icons/1001-64.png"})
    icon.addFile(path);
  return icon;
}
