#include "shell/app/VersionBlock.h"

#include "shell/settings/ProjectVersion.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

TVersionTexts TVersionTexts::Of(const TProjectRCVersion& version, std::string title, std::string versionLine) {
  TVersionTexts texts{std::move(title), std::move(versionLine), {}, {}};
  version.GetLegalNotice(texts.LegalNotice);
  version.GetSpecialBuild(texts.SpecialBuild);
  return texts;
}

QBoxLayout* LayOutVersionBlock(QWidget& dialog, const TVersionTexts& texts, double titleScale) {
  const auto label = [&dialog](int id, const std::string& text) {
    auto* widget = new QLabel(QString::fromStdString(text), &dialog);
    widget->setObjectName(QString::number(id));
    return widget;
  };
  QLabel* icon = label(1001, {});
  icon->setPixmap(QPixmap(":/icons/1001-64.png"));
  icon->setAlignment(Qt::AlignTop);

  QLabel* title = label(22004, texts.Title);
  QFont titleFont = title->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * titleScale);
  titleFont.setBold(true);
  title->setFont(titleFont);

  auto* column = new QVBoxLayout;
  column->addWidget(title);
  column->addWidget(label(22001, texts.VersionLine));
  column->addWidget(label(22002, texts.LegalNotice));
  column->addWidget(label(22003, texts.SpecialBuild));
  column->addStretch();
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addSpacing(12);
  row->addLayout(column, 1);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(row);
  return layout;
}
