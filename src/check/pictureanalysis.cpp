#include "check/pictureanalysis.h"

#include <algorithm>
#include <atomic>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace tintara {

struct PictureAnalysis::Job
{
    std::atomic<bool> abandoned{false};
    std::thread thread;
};

PictureAnalysis::PictureAnalysis(QObject* parent)
    : QObject(parent)
{
}

PictureAnalysis::~PictureAnalysis()
{
    for (const auto& job : m_jobs)
        job->abandoned = true;
    for (const auto& job : m_jobs)
        job->thread.join();
}

void PictureAnalysis::start(const QImage& picture, QRgb under)
{
    if (m_current)
        m_current->abandoned = true;
    m_result.reset();
    auto job = std::make_shared<Job>();
    m_current = job;
    m_jobs.push_back(job);
    job->thread = std::thread([this, job, picture, under] {
#ifdef Q_OS_LINUX
        // The window's thread comes first whenever it has work; the threads this one starts
        // inherit the lower priority.
        setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
#endif
        auto data = std::make_shared<const PictureContrast>(picture, under, job->abandoned);
        // Should the owner be destroyed first, it waits for this thread, and the handing over
        // is dropped with its other posted events.
        QMetaObject::invokeMethod(
            this, [this, job, data = std::move(data)]() mutable { ended(job, std::move(data)); },
            Qt::QueuedConnection);
    });
}

void PictureAnalysis::ended(const std::shared_ptr<Job>& job,
                            std::shared_ptr<const PictureContrast> data)
{
    job->thread.join();
    m_jobs.erase(std::find(m_jobs.begin(), m_jobs.end(), job));
    if (job != m_current)
        return;
    m_current.reset();
    m_result = std::move(data);
    emit finished();
}

} // namespace tintara
