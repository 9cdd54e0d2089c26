#include "shell/app/InitWindow.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Paths.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int PictureUnreadableText = 78;
constexpr int CountDownTextNumber = 400;
constexpr int LineHeight = 15;
constexpr std::array<int, 4> LineTops{260, 275, 290, 305};
constexpr int CountDownTop = 335;

}  // namespace

TInitWindow::TInitWindow(TMessage& texts, QWidget* parent, const std::string& picture,
                         const std::array<std::string, 4>& lines)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), Texts(texts), PicturePath(picture.substr(0, 254)),
      Ok(new QPushButton("OK", this)) {
  setObjectName("TInitWindow");
  for (std::size_t i = 0; i < Lines.size(); ++i)
    Lines[i] = lines[i].substr(0, 299);
  setFixedSize(Width, Height);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(192, 192, 192));
  setPalette(palette);
  Ok->setGeometry((Width - 60) / 2, 370, 60, 20);
  Ok->setDefault(true);
  connect(Ok, &QPushButton::clicked, this, [this] { close(); });
  setAttribute(Qt::WA_DeleteOnClose);
}

QPoint TInitWindow::PlaceOn(QSize screen) {
  const int x = ((screen.width() - Width) / 2 + 4) / 8 * 8;
  return {x, (screen.height() - Height) / 2};
}

void TInitWindow::SetupWindow() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  move(PlaceOn(screen ? screen->geometry().size() : QSize(800, 600)));
  const std::string path = Paths::ToNative(PicturePath).value_or(PicturePath);
  QImageReader reader(QString::fromStdString(path));
  Picture = reader.read();
  if (Picture.isNull())
    Texts.MessageBoxText(Texts.Format(PictureUnreadableText, {path}), 0, TMessageIcon::Stop);
  show();
  raise();
}

void TInitWindow::ShowCountDown(int secondsLeft) {
  CountDown = QString::fromStdString(Texts.Format(CountDownTextNumber, {std::to_string(secondsLeft)}));
  update(0, CountDownTop, Width, LineHeight);
}

void TInitWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Any picture is stretched into the same box.
  if (!Picture.isNull())
    painter.drawImage(QRect((Width - 320) / 2 - 3, 10, 320, 240), Picture);
  painter.setBackground(QColor(192, 192, 192));
  const auto band = [&painter](int top, const QString& text) {
    painter.setClipRect(0, top, Width, LineHeight);
    painter.drawText(QRect(0, top, Width, LineHeight), Qt::AlignCenter | Qt::TextSingleLine, text);
  };
  for (std::size_t i = 0; i < Lines.size(); ++i)
    band(LineTops[i], QString::fromStdString(Lines[i]));
  band(CountDownTop, CountDown);
}
