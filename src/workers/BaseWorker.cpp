#include "workers/BaseWorker.h"

#include <QtGlobal>

QCoro::Task<Failure> BaseWorker::run()
{
    qFatal("Must be implemented by subclass");
    co_return std::nullopt;
}
