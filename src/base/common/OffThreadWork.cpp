#include "base/common/OffThreadWork.h"

#include <QEventLoop>
#include <chrono>
#include <future>
#include <thread>

namespace kestrova {

void runOffThread(const std::function<void()>& work, std::chrono::milliseconds patience) {
    QEventLoop loop;
    std::promise<void> finished;
    const std::future<void> done = finished.get_future();
    const std::jthread worker([&work, &finished, &loop] {
        work();
        finished.set_value();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    if (done.wait_for(patience) == std::future_status::ready) {
        return;
    }
    // A quit of the whole program also ends this loop; the work is still awaited.
    while (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace kestrova
