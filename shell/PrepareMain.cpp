// halvetra-prepare: makes the working folder ready before the program's
// first start (scripts/start.sh runs it). It takes the program's command
// line, so "-i<name>" prepares that settings file.

#include "platform/basekit/Message.h"
#include "shell/settings/CommandLine.h"
#include "shell/settings/WorkFolderSetup.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char** argv) {
  QCoreApplication qt(argc, argv);
  TMessage messages("English");
  const auto report = WorkFolderSetup::Prepare(TCommandLine::Parse(TCommandLine::Join(argc, argv)), messages);
  for (const std::string& done : report.Done)
    std::cout << "halvetra-prepare: made " << done << '\n';
  for (const std::string& failure : report.Failures)
    std::cerr << "halvetra-prepare: " << failure << '\n';
  return report.Failures.empty() ? 0 : 1;
}
