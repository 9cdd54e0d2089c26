#include "platform/basekit/ui/WaitCursor.h"

#include <QApplication>

TWaitCursor::TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }
