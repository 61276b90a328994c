#include "reminder/pollrunner.h"

CPollRunner::CPollRunner(const CTaskFile& file, QObject* parent) : QObject(parent), m_poller(file) {
    m_poller.SetRunningObserver([this](bool bRunning) { emit PollingChanged(bRunning); });
}

int CPollRunner::Poll(IPollHost& host) {
    return m_poller.Poll(host);
}
