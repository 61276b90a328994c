#pragma once

// The main-window fixture on a real X server with a window manager (on_desktop.sh starts
// them), and xdotool, which sends the pointer and keys as the X server's own input.

#include <QGuiApplication>
#include <QProcess>
#include <QtTest>

#include "mainwnd/maindlgfixture.h"

inline bool Xdotool(const QStringList& arguments) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForFinished(10000) && xdotool.exitCode() == 0;
}

class CDesktopFixture : public CMainDlgFixture {
protected:
    // For initTestCase: the test runs on a real X server, with the fixture set up once for
    // all its tests.
    void InitOnDesktop() {
        QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run through on_desktop.sh");
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        InitTestCase();
        Init();
    }
    void CleanupOnDesktop() {
        Cleanup();
        CleanupTestCase();
    }
};
