#include "audiometry/window/AudioMeter.h"

#include "audiometry/audiogram/AudiogramExport.h"
#include "audiometry/threshold/QtAudioHost.h"
#include "audiometry/window/AudioEarButton.h"
#include "common/CommandNumbers.h"
#include "platform/basekit/Dde.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/Util.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "platform/framework/Profile.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int TextLeftEar = 312;
constexpr int TextRightEar = 313;
constexpr int KeyEnd = 35;
constexpr std::array<const char*, AudioFrequencies> GadgetLabels{"125", "250", "500", "750", "1k", "1.5k",
                                                                 "2k",  "3k",  "4k",  "6k",  "8k"};

int ScreenIndexOf(int width) {
  switch (width) {
  case 640: return 0;
  case 800: return 1;
  case 1024: return 2;
  case 1152: return 3;
  case 1280: return 4;
  case 1600: return 5;
  default: return 1;
  }
}

QString Qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TAudioMeter::TAudioMeter(float xScale, float yScale, TMessage* texts, std::string iniPath, PREDICTED_DATA patient,
                         bool bitmapMode, QWidget* parent, std::unique_ptr<TAudioHost> host)
    : QWidget(parent), XScale(xScale), YScale(yScale), Texts(texts), IniPath(std::move(iniPath)),
      BitmapMode(bitmapMode), Host(std::move(host)), Patient(patient) {
  setObjectName("TAudioMeter");
  setFocusPolicy(Qt::StrongFocus);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    ScreenIndex = ScreenIndexOf(screen->geometry().width());
  if (!Host)
    Host = std::make_unique<TQtAudioHost>([this](int id) {
      if (Test)
        Test->EvTimer(static_cast<unsigned>(id));
    });
  Test = std::make_unique<TAudioTest>(texts, IniPath, *Host, *this);
  Test->MicrophoneVolume = Test->GetSetup().BeginVolumeOfMicrophone;

  TUtil colours;
  colours.ReadColors(IniPath);
  const int penSize = TProfile("Screen", IniPath).GetInt("PenSizeOfAudiometer", 2);
  ScreenPens.SetCurveWidth(penSize);
  ScreenPens.General.Color = colours.GetColor(TUtil::Text);
  ScreenPens.Grid.Color = colours.GetColor(TUtil::Grid);
  PrintPens.SetCurveWidth(penSize);
  PrintPens.SetPenSize(1, true);
  PrintPens.Grid = {TColor::Black(), 1};

  // The tool box: 11 exclusive frequency gadgets, a filler, the automatic
  // sequence and the stop gadget.
  ToolBox = new QWidget(this);
  ToolBox->setObjectName("ToolBox");
  Gadgets = new QButtonGroup(this);
  Gadgets->setExclusive(true);
  const auto gadget = [this](unsigned id, const QString& label) {
    auto* button = new QToolButton(ToolBox);
    button->setObjectName(QString::number(id));
    button->setText(label);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    Gadgets->addButton(button, static_cast<int>(id));
    connect(button, &QToolButton::clicked, this, [this, id] { Gadget(id); });
    return button;
  };
  for (int f = 0; f < AudioFrequencies; ++f)
    FrequencyButtons[static_cast<std::size_t>(f)] =
        gadget(TAudioTest::IdFrequency0 + static_cast<unsigned>(f), GadgetLabels[static_cast<std::size_t>(f)]);
  auto* filler = new QWidget(ToolBox);
  filler->setObjectName(QString::number(IdFiller + static_cast<unsigned>(ScreenIndex)));
  AutomaticButton = gadget(TAudioTest::IdAutomatic, "Auto");
  StopButton = gadget(TAudioTest::IdStop, "Stop");
  StopButton->setChecked(true);

  const auto text = [texts](int number) { return texts ? Qs(texts->LoadStringA(number)) : QString(); };
  LeftEar = new TAudioEarButton(text(TextLeftEar), TColor(0, 0, 255), this);
  LeftEar->setObjectName(QString::number(IdLeftEar));
  RightEar = new TAudioEarButton(text(TextRightEar), TColor(255, 0, 0), this);
  RightEar->setObjectName(QString::number(IdRightEar));
  connect(LeftEar, &QAbstractButton::clicked, this, [this] { SendMessage(this, WM_COMMAND, CM_AUDIO_LEFT_EAR); });
  connect(RightEar, &QAbstractButton::clicked, this, [this] { SendMessage(this, WM_COMMAND, CM_AUDIO_RIGHT_EAR); });

  Level = new QLineEdit("+40", this);
  Level->setObjectName(QString::number(IdLevelField));
  Level->setAlignment(Qt::AlignCenter);
  // Large, but the widest level must fit the narrow field between the
  // charts' scales.
  QFont levelFont("Haettenschweiler");
  int pixels = static_cast<int>(24 * 96 / 72 * YScale);
  levelFont.setPixelSize(pixels);
  while (pixels > 8 && QFontMetrics(levelFont).horizontalAdvance("-110") > static_cast<int>(34 * XScale))
    levelFont.setPixelSize(--pixels);
  Level->setFont(levelFont);
  Level->setTextMargins(0, 0, 0, 0);
  Up = new QToolButton(this);
  Up->setObjectName(QString::number(IdUpDown));
  Up->setArrowType(Qt::UpArrow);
  Down = new QToolButton(this);
  Down->setObjectName(QString::number(IdUpDown) + "down");
  Down->setArrowType(Qt::DownArrow);
  for (QToolButton* arrow : {Up, Down})
    arrow->setFocusPolicy(Qt::NoFocus);
  const auto step = [this](int sign) {
    Test->UpDownVolumeChange(LevelField() + Test->GetSetup().Step * sign);
    UpdateControls();
  };
  connect(Up, &QToolButton::clicked, this, [step] { step(1); });
  connect(Down, &QToolButton::clicked, this, [step] { step(-1); });
  connect(Level, &QLineEdit::textEdited, this, [this] { UpdateControls(); });

  PlaceControls();
  Test->CreateStepTimer();
  RedrawEarButtons();
  UpdateControls();
  RedrawScreenBmp();
}

TAudioMeter::~TAudioMeter() {
  if (Test) {
    Test->KillStepTimer();
    if (Test->GetIsStart())
      Test->KillHandler();
  }
  Test.reset();
}

void TAudioMeter::PlaceControls() {
  const auto place = [this](QWidget* w, int x, int y, int width, int height) {
    w->setGeometry(static_cast<int>(x * XScale), static_cast<int>(y * YScale), static_cast<int>(width * XScale),
                   static_cast<int>(height * YScale));
  };
  place(LeftEar, 510, 79, 150, 30);
  place(RightEar, 90, 79, 150, 30);
  // Between the two charts' level scales, clear of their numbers.
  place(Level, 350, 189, 38, 40);
  place(Up, 388, 189, 14, 20);
  place(Down, 388, 209, 14, 20);
  const int toolHeight = static_cast<int>(41 * YScale);
  const int toolTop = static_cast<int>(462 * YScale);
  ToolBox->setGeometry(static_cast<int>(7 * XScale), toolTop, static_cast<int>(735 * XScale), toolHeight);
  const int cell = static_cast<int>(735 * XScale) / 14;
  int x = 0;
  for (QToolButton* button : FrequencyButtons) {
    button->setGeometry(x, 0, cell, toolHeight);
    x += cell;
  }
  x += cell;  // the filler
  AutomaticButton->setGeometry(x, 0, cell, toolHeight);
  StopButton->setGeometry(x + cell, 0, cell, toolHeight);
  setMinimumSize(static_cast<int>(DesignWidth * XScale), static_cast<int>(DesignHeight * YScale));
  resize(minimumSize());
}

const TResponseTable& TAudioMeter::ResponseTable() {
  using W = TAudioMeter;
  static constexpr TResponseEntry entries[] = {
      Response::Command<&W::CmDde>(CM_DDE),
      Response::Enabler<&W::EnableDde>(CM_DDE),
      Response::Command<&W::CmMicrophoneVolume>(CM_MICROPHONE_VOLUME),
      Response::Enabler<&W::EnableMicrophone>(CM_MICROPHONE),
      Response::Enabler<&W::EnableMethod>(CM_ALGORITHM1),
      Response::Enabler<&W::EnableMethod>(CM_ALGORITHM2),
      Response::Enabler<&W::EnableMethod>(CM_ALGORITHM3),
      Response::Enabler<&W::EnableMethod>(CM_ALGORITHM4),
      Response::Enabler<&W::EnableMethod>(CM_SIGNAL_MODE1),
      Response::Enabler<&W::EnableMethod>(CM_SIGNAL_MODE2),
      Response::Enabler<&W::EnableMethod>(CM_SIGNAL_MODE3),
      Response::Message<&W::CmAskHelpContext>(WM_ASK_HELP_CONTEXT),
      // The program's bar presses its method and signal-mode buttons as messages.
      Response::Message<&W::EvMethodButton<CM_ALGORITHM1>>(CM_ALGORITHM1),
      Response::Message<&W::EvMethodButton<CM_ALGORITHM2>>(CM_ALGORITHM2),
      Response::Message<&W::EvMethodButton<CM_ALGORITHM3>>(CM_ALGORITHM3),
      Response::Message<&W::EvSignalModeButton<CM_SIGNAL_MODE1>>(CM_SIGNAL_MODE1),
      Response::Message<&W::EvSignalModeButton<CM_SIGNAL_MODE2>>(CM_SIGNAL_MODE2),
      Response::Message<&W::EvSignalModeButton<CM_SIGNAL_MODE3>>(CM_SIGNAL_MODE3),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

TResult TAudioMeter::DefaultProcessing(unsigned msg, TParam1 wParam, TParam2 lParam) {
  // Everything else is the test's.
  const TResult result = SendMessage(Test.get(), msg, wParam, lParam);
  UpdateControls();
  return result;
}

void TAudioMeter::Gadget(unsigned id) {
  SendMessage(this, WM_COMMAND, id);
  setFocus();
}

void TAudioMeter::EnableMethod(TCommandEnabler& ce) {
  ce.Enable(Test->MethodEnabled(ce.GetId()));
  const unsigned id = ce.GetId();
  const int algorithm = Test->GetAlgorithm();
  const int signal = Test->GetSignalMode();
  switch (id) {
  case CM_ALGORITHM1: ce.SetCheck(algorithm == 0); break;
  case CM_ALGORITHM2: ce.SetCheck(algorithm == 1); break;
  case CM_ALGORITHM3: ce.SetCheck(algorithm == 2); break;
  case CM_ALGORITHM4: ce.SetCheck(algorithm == 3); break;
  case CM_SIGNAL_MODE1: ce.SetCheck(signal == 0); break;
  case CM_SIGNAL_MODE2: ce.SetCheck(signal == 1); break;
  default: ce.SetCheck(signal == 2); break;
  }
}

void TAudioMeter::UpdateControls() {
  if (!Test)
    return;
  for (int f = 0; f < AudioFrequencies; ++f)
    FrequencyButtons[static_cast<std::size_t>(f)]->setEnabled(Test->FrequencyEnabled(f));
  AutomaticButton->setEnabled(Test->AutomaticEnabled());
  StopButton->setEnabled(Test->StopEnabled());
}

void TAudioMeter::ApplyLinkSettings(const TAudioLinkSettings& settings, bool demo, bool showMessages) {
  Test->Install = settings.Live && !demo;
  Test->Port = settings.Port;
  Test->BaudRate = settings.BaudRate;
  Test->InputBuffer = static_cast<int>(settings.InputBuffer);
  Test->OutputBuffer = static_cast<int>(settings.OutputBuffer);
  Test->WaitAnswer = static_cast<int>(settings.WaitAnswer);
  Test->USBDescription = settings.USBDescription;
  Test->SerialPortsIniFile = IniPath;
  if (Test->Install)
    Test->VerifySerialPort(showMessages);
  else
    Test->TestDemo();
  UpdateControls();
  RedrawScreenBmp();
}

void TAudioMeter::SetDisplayFormats(const TDisplayFormats& formats) {
  Formats = formats;
  RedrawScreenBmp();
}

bool TAudioMeter::CanClose() {
  if (Test->GetIsStart())
    SendMessage(Test.get(), WM_COMMAND, CM_STOP);
  SendToFrame(WM_COMMAND, CM_AUDIOMETER_CLOSED);
  if (std::exchange(StayOpen, false))
    return false;
  Test->KillStepTimer();
  for (int id : {2, 3, 4})
    Host->KillTimer(id);
  Test->WriteAudioSetup();
  return true;
}

void TAudioMeter::closeEvent(QCloseEvent* event) {
  if (CanClose())
    event->accept();
  else
    event->ignore();
}

void TAudioMeter::SendToFrame(unsigned message, TParam1 wParam, TParam2 lParam) {
  if (!(Client && SendMessage(Client.Get(), message, wParam, lParam)) && MainWindow)
    SendMessage(MainWindow.Get(), message, wParam, lParam);
}

void TAudioMeter::NotifyFrame(unsigned message, int value) { SendToFrame(message, static_cast<TParam1>(value)); }

void TAudioMeter::CmAskHelpContext(TParam1 id, TParam2) { SendToFrame(WM_SHOW_HELP, id); }

void TAudioMeter::CmMicrophoneVolume() {
  // The slider is the program's, on its audiometer bar: read its position.
  for (QWidget* top : QApplication::topLevelWidgets())
    if (const auto* slider = top->findChild<QSlider*>(QString::number(CM_MICROPHONE_VOLUME))) {
      Test->ChangeMicrophoneVolume(slider->value());
      return;
    }
}

void TAudioMeter::SetMeasureDate(int kind, int year, unsigned month, unsigned day) {
  TAudioStamp& stamp = Test->Stamp(kind);
  stamp.Year = year;
  stamp.Month = static_cast<int>(month);
  stamp.Day = static_cast<int>(day);
  stamp.Valid = year != 0;
}

void TAudioMeter::SetMeasureTime(int kind, unsigned hour, unsigned minute, unsigned second) {
  TAudioStamp& stamp = Test->Stamp(kind);
  stamp.Hour = static_cast<int>(hour);
  stamp.Minute = static_cast<int>(minute);
  stamp.Second = static_cast<int>(second);
}

bool TAudioMeter::GetPrintEnable() const { return Test->AudiogramChanged || const_cast<TAudioMeter*>(this)->AudiogramData().AnyMeasured(); }

TAudiogramData TAudioMeter::AudiogramData() {
  TAudiogramData data;
  for (int ear = 0; ear < 2; ++ear)
    for (int kind = 0; kind < 2; ++kind) {
      const int* values = Test->GetTable(ear, kind);
      const bool* flags = Test->GetFlagTable(ear, kind);
      for (std::size_t f = 0; f < AudioFrequencies; ++f) {
        data.Thresholds[static_cast<std::size_t>(ear)][static_cast<std::size_t>(kind)][f] = values[f];
        data.Flags[static_cast<std::size_t>(ear)][static_cast<std::size_t>(kind)][f] = flags[f];
      }
    }
  for (int kind = 0; kind < 2; ++kind) {
    const TAudioStamp& s = Test->Stamp(kind);
    data.Stamps[static_cast<std::size_t>(kind)] = {s.Year, s.Month, s.Day, s.Hour, s.Minute, s.Second};
  }
  data.Notes = Test->Notes;
  data.NoteFlags = Test->NoteFlags;
  data.CurrentNote = CurrentNote;
  data.Patient = Patient;
  const TAudioStatics& s = TAudioTest::Statics();
  data.SequenceRunning = Test->SequenceRunning();
  data.Frequency = s.ActualFreq;
  data.Ear = s.ActualEar;
  data.LevelDb = Level ? LevelField() : 0;
  data.Tone = Test->ToneOn();
  data.PatientButton = Test->PatientButton() != 0;
  return data;
}

TAudiogramLayout TAudioMeter::ScreenLayout() const {
  TAudiogramLayout layout;
  layout.XScale = XScale;
  layout.YScale = YScale;
  layout.ScreenIndex = ScreenIndex;
  layout.DateFormat = Formats.DateFormat;
  layout.TimeFormat = Formats.TimeFormat;
  return layout;
}

void TAudioMeter::CopyScreen() { RedrawScreenBmp(); }

void TAudioMeter::RedrawScreenBmp() {
  if (!Test)
    return;
  const QSize size(static_cast<int>(800 * XScale), static_cast<int>(600 * YScale));
  const TAudiogramData data = AudiogramData();
  TAudiogramLayout layout = ScreenLayout();
  const bool partial = Test->GetIsStart() && !Screen.isNull() && Screen.size() == size;
  if (!partial) {
    Screen = QImage(size, QImage::Format_RGB32);
    Screen.fill(QColor(192, 192, 192));
  }
  {
    QPainter painter(&Screen);
    TPainterSurface surface(painter);
    TAudiogramPainter audiogram(surface, Texts, data, layout, ScreenPens);
    if (partial)
      audiogram.DoPaintUnderMeasurement();
    else
      audiogram.DoPaint();
  }
  update();
}

void TAudioMeter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(192, 192, 192));
  if (!Screen.isNull())
    painter.drawImage(0, 0, Screen);
}

int TAudioMeter::CalculateAudioHeight() const {
  return TAudiogramPainter::CalculateAudioHeight(const_cast<TAudioMeter*>(this)->AudiogramData());
}

TAudiogramLayout TAudioMeter::PaperLayout(int offset, float xScale, float yScale) const {
  TAudiogramLayout layout = ScreenLayout();
  layout.XScale = xScale;
  layout.YScale = yScale;
  layout.BitmapMode = true;
  layout.PrintOffset = offset;
  return layout;
}

void TAudioMeter::AudioPrint(TDrawSurface& surface, float xScale, float yScale, int& offset) {
  TAudiogramData data = AudiogramData();
  data.SequenceRunning = false;
  TAudiogramLayout layout = PaperLayout(offset, xScale, yScale);
  TAudiogramPainter audiogram(surface, Texts, data, layout, PrintPens);
  audiogram.AudioPrint();
  offset = layout.PrintOffset;
}

bool TAudioMeter::PaintToBMP(const std::string& file) {
  constexpr int Offset = 50;
  QImage image(796, 2 * Offset + 280, QImage::Format_RGB32);
  image.fill(Qt::white);
  TAudiogramData data = AudiogramData();
  data.SequenceRunning = false;
  TAudiogramLayout layout = PaperLayout(Offset);
  {
    QPainter painter(&image);
    TPainterSurface surface(painter);
    TAudiogramPainter(surface, Texts, data, layout, PrintPens).PaintCharts();
  }
  return image.save(QString::fromStdString(file), "BMP");
}

bool TAudioMeter::SendDataToExcel(TDDE& dde) {
  TAudiogramCells cells;
  cells.Address = [&dde](unsigned row, unsigned column) { return dde.CellAddress(row, column); };
  cells.Poke = [&dde](std::string_view item, std::string_view text) { return dde.PokeDDE(item, text); };
  return SendAudiogramToExcel(AudiogramData(), Texts, Formats.DateFormat, Formats.TimeFormat, cells);
}

void TAudioMeter::CmDde() {
  TDDE dde(Texts, IniPath);
  if (!dde.ConnectDDE())
    return;
  SendDataToExcel(dde);
  dde.DisconnectDDE();
}

int TAudioMeter::LevelField() {
  int db = 0;
  const std::string text = Level->text().toStdString();
  std::sscanf(text.c_str(), "%d", &db);
  return db;
}

void TAudioMeter::ShowLevel(int db) {
  char text[16];
  std::snprintf(text, sizeof text, "%+d", db);
  Level->setText(text);
}

void TAudioMeter::ToneIndicator(bool) { RedrawScreenBmp(); }

void TAudioMeter::RedrawEarButtons() {
  const bool right = TAudioTest::Statics().ActualEar == 0;
  RightEar->SetChosen(right);
  LeftEar->SetChosen(!right);
  (right ? RightEar : LeftEar)->setFocus();
  RedrawScreenBmp();
}

void TAudioMeter::EnableControls(bool on) {
  LeftEar->setEnabled(on);
  RightEar->setEnabled(on);
  Level->setEnabled(on || Test->GetAlgorithm() == TAudioTest::Manual);
  Up->setEnabled(Level->isEnabled());
  Down->setEnabled(Level->isEnabled());
}

void TAudioMeter::PressStopGadget() { StopButton->setChecked(true); }

void TAudioMeter::PressFrequencyGadget(int frequency) {
  if (frequency >= 0 && frequency < AudioFrequencies)
    FrequencyButtons[static_cast<std::size_t>(frequency)]->setChecked(true);
}

void TAudioMeter::keyPressEvent(QKeyEvent* event) {
  unsigned id = 0;
  switch (event->key()) {
  case Qt::Key_Space: id = CM_AUDIO_DEMO_RESPONSE; break;
  case Qt::Key_Escape: id = CM_ESC_BUTTON; break;
  case Qt::Key_Up: id = CM_AUDIO_LEVEL_UP; break;
  case Qt::Key_Down: id = CM_AUDIO_LEVEL_DOWN; break;
  case Qt::Key_Right: id = CM_AUDIO_NEXT_FREQUENCY; break;
  case Qt::Key_Left: id = CM_AUDIO_PREVIOUS_FREQUENCY; break;
  case Qt::Key_End: id = CM_AUDIO_PRESENT_AGAIN; break;
  case Qt::Key_Delete: id = CM_AUDIO_RIGHT_EAR; break;
  case Qt::Key_PageDown: id = CM_AUDIO_LEFT_EAR; break;
  default: QWidget::keyPressEvent(event); return;
  }
  if (id == CM_AUDIO_PRESENT_AGAIN && event->isAutoRepeat())
    return;
  SendMessage(this, WM_COMMAND, id);
}

void TAudioMeter::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_End && !event->isAutoRepeat()) {
    Test->EvKeyUp(KeyEnd);
    UpdateControls();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

TAudioMeter* MakeAudioMeter(float xScale, float yScale, TMessage* texts, const std::string& iniPath,
                            const PREDICTED_DATA& patient, QWidget* parent, TEventHandler* client) {
  auto* window = new TAudioMeter(xScale, yScale, texts, iniPath, patient, false, parent);
  window->SetClient(client);
  return window;
}
