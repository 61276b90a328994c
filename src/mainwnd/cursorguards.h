#pragma once

#include <QApplication>
#include <QCursor>

// Shows the wait cursor over the whole program for the guard's lifetime.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// Puts the ordinary arrow back while a dialog waits for the user inside a busy section, and
// the wait cursor again afterwards.
class CArrowCursor {
public:
    CArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~CArrowCursor() { QApplication::restoreOverrideCursor(); }
    CArrowCursor(const CArrowCursor&) = delete;
    CArrowCursor& operator=(const CArrowCursor&) = delete;
};
