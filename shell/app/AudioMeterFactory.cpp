#include "shell/app/AudioMeterFactory.h"

#include "audiometry/window/AudioMeter.h"
#include "audiometry/window/AudioSheetPages.h"
#include "platform/basekit/Message.h"
#include "shell/app/sheets/OwnPropertySheet.h"

#include <QPointer>
#include <QVBoxLayout>

TMadeWindow<TAudioMeterWindow> MakeAudioMeterWindow(const TWindowArgs& args, QWidget* parent) {
  // The parent is the client, which takes the window's notices.
  auto* client = dynamic_cast<TEventHandler*>(parent);
  TAudioMeter* window = MakeAudioMeter(args.Scale.X, args.Scale.Y, args.Texts, args.IniPath, args.Patient, parent, client);
  return {window, window};
}

namespace {

// A page of the sheet holding one of the audiometer's pages.
TPropertyPage* Hold(QWidget* content, TOwnPropertySheet& sheet) {
  auto* page = new TPropertyPage(&sheet);
  content->setParent(page);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(content);
  return page;
}

}  // namespace

TSheetPages AudioSheetPageFactory(bool demo, TMessage& texts, const std::string& iniPath, TOwnPropertySheet& sheet) {
  const TAudioSheetPages made = MakeAudioSheetPages(demo ? 1 : 0, &texts, iniPath, &sheet);
  sheet.AddPage(Hold(made.Config, sheet), made.Config->windowTitle());
  sheet.AddPage(Hold(made.Service, sheet), made.Service->windowTitle());
  const QPointer<TAudioConfigPage> config = made.Config;
  const QPointer<TAudioServicePage> service = made.Service;
  TSheetPages pages;
  pages.Write = [config] {
    if (config)
      config->WriteHardwareStatus();
  };
  pages.HaveToKillHandler = [service] {
    if (service)
      service->HaveToKillHandler();
  };
  return pages;
}
