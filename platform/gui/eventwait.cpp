#include "eventwait.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace tv {

namespace {
int depth = 0;
} // namespace

void WaitWithEvents(const std::function<bool()>& finished)
{
    ++depth;
    while (!finished()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    --depth;
}

bool InEventWait() { return depth > 0; }

} // namespace tv
