#pragma once

// The start-up picture: a picture with four lines of text below it and a
// count-down, shown for a configured number of seconds while the rest of
// the program waits. The client drives its life and the count-down.

#include <QImage>
#include <QWidget>

#include <array>
#include <string>

class QPushButton;
class TMessage;

class TInitWindow final : public QWidget {
public:
  static constexpr int Width = 350;
  static constexpr int Height = 403;

  // The picture is read as the window is set up; one that cannot be read
  // is named to the user and the window goes on without it.
  TInitWindow(TMessage& texts, QWidget* parent, const std::string& picture, const std::array<std::string, 4>& lines);

  void SetupWindow();
  // The count-down text of the seconds left.
  void ShowCountDown(int secondsLeft);
  bool HasPicture() const { return !Picture.isNull(); }
  const QString& CountDownText() const { return CountDown; }
  QPushButton* OkButton() const { return Ok; }

  // Where the window stands on a screen of that size.
  static QPoint PlaceOn(QSize screen);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  TMessage& Texts;
  std::string PicturePath;
  std::array<std::string, 4> Lines;
  QImage Picture;
  QString CountDown;
  QPushButton* Ok;
};
