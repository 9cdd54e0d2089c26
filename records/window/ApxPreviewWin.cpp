#include "records/window/ApxPreviewWin.h"

#include "platform/basekit/Message.h"

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int Margin = 15;
constexpr int Gap = 30;
constexpr int ZoomOutText = 7027;
constexpr int ZoomInText = 7028;
constexpr int FitWidthText = 7029;

QString Plain(const std::string& text) { return QString::fromStdString(text).remove('&'); }

}  // namespace

void TPreviewPage::Show(const QPicture* picture, const QRect& window, short number) {
  Picture = picture;
  Window = window;
  PageNumber = number;
  update();
}

QRect TPreviewPage::PageRect() const {
  if (Window.isEmpty())
    return rect();
  // The page's proportions inside the view.
  const double ratio = static_cast<double>(Window.height()) / Window.width();
  int width = this->width();
  int height = static_cast<int>(width * ratio);
  if (height > this->height()) {
    height = this->height();
    width = static_cast<int>(height / ratio);
  }
  return {0, 0, width, height};
}

void TPreviewPage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect page = PageRect();
  painter.fillRect(page, Qt::white);
  painter.setPen(Qt::black);
  painter.drawRect(page.adjusted(0, 0, -1, -1));
  if (Picture == nullptr)
    return;
  painter.setViewport(page);
  painter.setWindow(Window);
  painter.drawPicture(0, 0, *Picture);
}

TApxPreviewWin::TApxPreviewWin(const TMessage& texts, QWidget* parent, TOwnPrinter& printer, TPrintManager& manager)
    : QDialog(parent), Texts(texts), Printer(printer), Printout(manager, texts.LoadStringA(117)) {
  setWindowTitle(Plain(texts.LoadStringA(117)));
  setWindowIcon(QIcon(":/icons/1001-64.png"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Bar = new QToolBar(this);
  layout->addWidget(Bar);
  const auto add = [&](int id, QStyle::StandardPixmap icon, const QString& tip, void (TApxPreviewWin::*slot)()) {
    QAction* action = Bar->addAction(style()->standardIcon(icon), tip);
    action->setObjectName(QString::number(id));
    connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
  };
  add(PreviousId, QStyle::SP_ArrowLeft, "<", &TApxPreviewWin::CmPrevious);
  add(NextId, QStyle::SP_ArrowRight, ">", &TApxPreviewWin::CmNext);
  Bar->addSeparator();
  add(OnePageId, QStyle::SP_FileIcon, "1", &TApxPreviewWin::CmOnePage);
  add(TwoPagesId, QStyle::SP_FileDialogDetailedView, "2", &TApxPreviewWin::CmTwoPages);
  Bar->addSeparator();
  add(ZoomOutId, QStyle::SP_ArrowDown, Plain(texts.LoadStringA(ZoomOutText)), &TApxPreviewWin::CmZoomOut);
  add(ZoomInId, QStyle::SP_ArrowUp, Plain(texts.LoadStringA(ZoomInText)), &TApxPreviewWin::CmZoomIn);
  add(FitWidthId, QStyle::SP_TitleBarMaxButton, Plain(texts.LoadStringA(FitWidthText)), &TApxPreviewWin::CmFitWidth);
  Bar->addSeparator();
  Display = new QLabel(this);
  Display->setObjectName(QString::number(PageDisplayId));
  Display->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Display->setMinimumWidth(Display->fontMetrics().horizontalAdvance(QString(14, 'M')));
  Bar->addWidget(Display);
  Bar->addSeparator();
  QAction* print = Bar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton), Plain(texts.LoadStringA(138)));
  print->setObjectName(QString::number(PrintId));
  connect(print, &QAction::triggered, this, [this] {
    if (PrintCommand)
      PrintCommand();
  });
  Bar->addSeparator();
  QAction* close = Bar->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), Plain(texts.LoadStringA(255)));
  close->setObjectName(QString::number(CloseId));
  connect(close, &QAction::triggered, this, [this] { done(2); });

  Scroller = new QScrollArea(this);
  Scroller->setBackgroundRole(QPalette::Dark);
  Scroller->setFrameShape(QFrame::NoFrame);
  Client = new QWidget;
  Client->setAutoFillBackground(true);
  Client->setBackgroundRole(QPalette::Dark);
  Scroller->setWidget(Client);  // the scroll area owns it
  layout->addWidget(Scroller, 1);
  Page1 = new TPreviewPage(Client);
  // The pages follow the view's size, which the layout settles only once
  // the preview is shown.
  Scroller->viewport()->installEventFilter(this);
  DrawPages();
  Renumber();
  resize(900, 760);
}

void TApxPreviewWin::DrawPages() {
  // Every page once, in order: the note of a page goes on from the one before.
  const QRect device = Printer.Printer().pageLayout().paintRectPixels(Printer.Printer().resolution());
  Window = Printout.PageWindow(device);
  QPicture counting;
  counting.setBoundingRect(Window);
  short pages = 1;
  {
    QPainter painter(&counting);
    pages = Printout.BeginPrinting(painter, Window);
  }
  // Each page a picture of its own (copies of one picture share its data).
  Pages.clear();
  for (short p = 1; p <= pages; ++p) {
    QPicture picture;
    picture.setBoundingRect(Window);
    {
      QPainter painter(&picture);
      Printout.PrintPage(painter, Window, p, pages);
    }
    Pages.push_back(picture);
  }
}

static const QPicture* PictureOf(const std::vector<QPicture>& pages, short number) {
  return number >= 1 && number <= static_cast<short>(pages.size()) ? &pages[static_cast<std::size_t>(number - 1)]
                                                                    : nullptr;
}

void TApxPreviewWin::Renumber() {
  Page1->Show(PictureOf(Pages, First), Window, First);
  if (Page2) {
    // A one-page printout leaves the second view empty.
    const bool own = Second != First;
    Page2->Show(own ? PictureOf(Pages, Second) : nullptr, Window, own ? Second : 0);
  }
  Display->setText(PageDisplay());
  LayOut();
  UpdateCommands();
}

QString TApxPreviewWin::PageDisplay() const {
  if (Page2 && Second != First)
    return QString::fromStdString(Texts.Format(135, {std::to_string(First), std::to_string(Second)}));
  return QString::fromStdString(Texts.Format(136, {std::to_string(First)}));
}

QAction* TApxPreviewWin::Action(int id) const { return findChild<QAction*>(QString::number(id)); }

void TApxPreviewWin::UpdateCommands() {
  const bool landscape = Window.width() > Window.height();
  Action(PreviousId)->setEnabled(First > 1);
  Action(NextId)->setEnabled((Page2 ? Second : First) < PageCount());
  Action(TwoPagesId)->setEnabled(!landscape);
  Action(ZoomOutId)->setEnabled(Zoom > 0);
  Action(ZoomInId)->setEnabled(Zoom + 1 < ZoomSteps.size());
  Action(PrintId)->setEnabled(true);
}

void TApxPreviewWin::CmPrevious() {
  if (First <= 1)
    return;
  --First;
  --Second;
  Renumber();
}

void TApxPreviewWin::CmNext() {
  if ((Page2 ? Second : First) >= PageCount())
    return;
  ++First;
  ++Second;
  Renumber();
}

void TApxPreviewWin::CmOnePage() {
  delete Page2;
  Page2 = nullptr;
  Second = First;
  Renumber();
}

void TApxPreviewWin::CmTwoPages() {
  if (Page2 || Window.width() > Window.height())
    return;
  Page2 = new TPreviewPage(Client);
  Page2->show();
  if (First != PageCount())
    Second = static_cast<short>(First + 1);
  else if (First >= 2) {
    Second = First;
    First = static_cast<short>(First - 1);
  }
  Renumber();
}

void TApxPreviewWin::CmZoomIn() {
  if (Zoom + 1 < ZoomSteps.size())
    ++Zoom;
  LayOut();
  UpdateCommands();
}

void TApxPreviewWin::CmZoomOut() {
  if (Zoom > 0)
    --Zoom;
  LayOut();
  UpdateCommands();
}

void TApxPreviewWin::CmFitWidth() {
  Zoom = 1;
  LayOut();
  UpdateCommands();
}

void TApxPreviewWin::LayOut() {
  const QSize view = Scroller->viewport()->size();
  const int gaps = Page2 ? Gap : 0;
  const int pages = Page2 ? 2 : 1;
  int width = (view.width() - 2 * Margin - gaps) / pages;
  int height = view.height() - 2 * Margin;
  int viewWidth = view.width();
  if (Zoom > 0 && !Window.isEmpty()) {
    // The pages' width a share of the view's, beside the vertical scroll bar
    // their height brings; their height as the page is high.
    const int across = Scroller->contentsRect().width() - Scroller->verticalScrollBar()->sizeHint().width();
    width = static_cast<int>((across - 2 * Margin - gaps) * ZoomSteps[Zoom] / pages);
    height = static_cast<int>(static_cast<double>(width) * Window.height() / Window.width());
    viewWidth = across;
  }
  Client->resize(std::max(viewWidth, 2 * Margin + pages * width + gaps),
                 std::max(view.height(), 2 * Margin + height));
  Page1->setGeometry(Margin, Margin, width, height);
  if (Page2)
    Page2->setGeometry(Margin + width + Gap, Margin, width, height);
}

bool TApxPreviewWin::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Scroller->viewport() && event->type() == QEvent::Resize)
    LayOut();
  return QDialog::eventFilter(watched, event);
}

void TApxPreviewWin::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayOut();
}
