#include "reminder/poll.h"

#include "reminder/taskpoller.h"

bool IsPollRunning() {
    return CTaskPoller::IsRunning();
}
