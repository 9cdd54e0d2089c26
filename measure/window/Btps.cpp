#include "measure/window/Btps.h"

#include "measure/window/BtpsEdit.h"
#include "platform/basekit/Message.h"

#include <QCheckBox>
#include <QPainter>
#include <QWidget>

namespace {

// A field's text into the record, cut to what the field holds.
template <std::size_t Size>
void StoreText(std::array<char, Size>& field, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  SetFieldText(field, std::string_view(bytes.constData(), std::min<std::size_t>(bytes.size(), Size - 1)));
}

QString Shown(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

TBTPS::TBTPS(float xScale, float yScale, QWidget* parent, TMessage* messages, std::string_view iniPath, short unit)
    : TBTPS_DATA(messages, iniPath, unit), XScale(xScale), YScale(yScale) {
  const auto place = [this](QWidget* control, int x, int y, int width, int height) {
    control->setGeometry(static_cast<int>(x * XScale), static_cast<int>(y * YScale), static_cast<int>(width * XScale),
                         static_cast<int>(height * YScale));
    control->show();
  };
  Switch = new QCheckBox(parent);
  Switch->setObjectName(QString::number(SwitchId));
  place(Switch, 490, 12, 12, 12);
  Temperature = new TBtpsEdit(parent, TemperatureId, 3, FontScale());
  place(Temperature, 504, 8, 33, 20);
  Humidity = new TBtpsEdit(parent, HumidityId, 3, FontScale());
  place(Humidity, 558, 8, 30, 20);
  Pressure = new TBtpsEdit(parent, PressureId, 4, FontScale());
  place(Pressure, 604, 8, 42, 20);
  if (parent)
    BackColor = parent->palette().color(QPalette::Window);

  // What the user types reaches the record at once.
  const auto typed = [this] {
    if (!Transferring)
      TransferFromControls();
  };
  QObject::connect(Switch, &QCheckBox::toggled, Switch, typed);
  for (TBtpsEdit* field : {Temperature.data(), Humidity.data(), Pressure.data()})
    QObject::connect(field, &QLineEdit::textChanged, field, typed);
  TransferToControls();
}

TBTPS::~TBTPS() {
  delete Switch.data();
  delete Temperature.data();
  delete Humidity.data();
  delete Pressure.data();
}

void TBTPS::TransferFromControls() {
  if (Switch)
    Record.Btps = Switch->isChecked() ? 1 : 0;
  if (Temperature)
    StoreText(Record.Temperature, Temperature->text());
  if (Humidity)
    StoreText(Record.Humidity, Humidity->text());
  if (Pressure)
    StoreText(Record.Pressure, Pressure->text());
}

void TBTPS::TransferToControls() {
  Transferring = true;
  if (Switch)
    Switch->setChecked(Record.Btps != 0);
  if (Temperature)
    Temperature->setText(Shown(FieldText(Record.Temperature)));
  if (Humidity)
    Humidity->setText(Shown(FieldText(Record.Humidity)));
  if (Pressure)
    Pressure->setText(Shown(FieldText(Record.Pressure)));
  Transferring = false;
}

void TBTPS::PutBTPSText(QPainter& painter, short unit) const {
  const auto text = [this](int number) {
    return Messages ? QString::fromStdString(Messages->LoadStringA(number)) : QString();
  };
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(std::max(1, static_cast<int>(TBtpsEdit::FontPixels * FontScale())));
  painter.save();
  painter.setFont(font);
  painter.setPen(TextColor);
  // Opaque text, so that the blanks clear what an earlier unit left.
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(BackColor);
  const auto put = [&](int x, const QString& s) {
    const QPoint at(static_cast<int>(x * XScale), static_cast<int>(11 * YScale));
    painter.drawText(QRect(at, QSize(painter.fontMetrics().horizontalAdvance(s) + 1, painter.fontMetrics().height())),
                     Qt::AlignLeft | Qt::AlignTop, s);
  };
  const int u = unit ? 1 : 0;
  put(450, QStringLiteral("BTPS:"));
  put(539, text(TemperatureUnitText[u]));
  put(590, QStringLiteral("%"));
  put(648, QString(11, QLatin1Char(' ')));
  put(648, text(PressureUnitText[u]));
  painter.restore();
}

bool TBTPS::CalculatedBTPS(float& factor, short measureMode) {
  TransferFromControls();
  return TBTPS_DATA::CalculatedBTPS(factor, measureMode);
}

bool TBTPS::WriteBTPSConstans() {
  TransferFromControls();
  return TBTPS_DATA::WriteBTPSConstans();
}

void TBTPS::ConvertBTPSData(short unit) {
  TransferFromControls();
  TBTPS_DATA::ConvertBTPSData(unit);
  TransferToControls();
}

void TBTPS::SetBTPSData() { TransferToControls(); }

void TBTPS::UpdateBTPSData(short btps, short temperature, short humidity, short pressure) {
  TBTPS_DATA::UpdateBTPSData(btps, temperature, humidity, pressure);
  SetBTPSData();
}

void TBTPS::EnableBTPSWindow(bool enable) {
  if (Switch)
    Switch->setEnabled(false);
  for (TBtpsEdit* field : {Temperature.data(), Humidity.data(), Pressure.data()})
    if (field)
      field->setEnabled(enable);
  EnableCheck(enable);
}
