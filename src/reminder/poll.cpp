#include "reminder/poll.h"

#include "reminder/taskpoller.h"

int PollTaskFile(IPollHost& host) {
    CTaskPoller poller;
    return poller.Poll(host);
}
