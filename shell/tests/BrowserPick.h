#pragma once

// The operator's pick in the measurement browser, for tests that route
// its command: once the browser is up it must list exactly one
// examination, which is selected and accepted.

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

// Arms the pick; `listed` turns true once it was made. Route the browse
// command after this.
inline void PickTheOnlyExaminationWhenTheBrowserOpens(bool& listed) {
  QTimer::singleShot(0, [&listed] {
    auto* browser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(browser, nullptr);
    auto* list = browser->findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 1);
    list->item(0)->setSelected(true);
    listed = true;
    browser->accept();
  });
}
