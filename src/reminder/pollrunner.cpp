#include "reminder/pollrunner.h"

CPollRunner::CPollRunner(QObject* parent) : QObject(parent) {
    m_poller.SetRunningObserver([this](bool bRunning) { emit PollingChanged(bRunning); });
}

int CPollRunner::Poll(IPollHost& host) {
    return m_poller.Poll(host);
}
