#pragma once

#include "check/picturecontrast.h"

#include <QImage>
#include <QObject>
#include <memory>
#include <vector>

namespace tintara {

// Builds a picture's contrast data on threads of its own, so that the window keeps answering
// input while a large picture is analysed.
class PictureAnalysis : public QObject
{
    Q_OBJECT
public:
    explicit PictureAnalysis(QObject* parent = nullptr);
    // Abandons an analysis still running and waits for it, which stops within milliseconds.
    ~PictureAnalysis() override;

    // Starts analysing the picture as shown over `under`; a picture still being analysed is
    // abandoned.
    void start(const QImage& picture, QRgb under);
    bool pending() const { return m_current != nullptr; }
    // The data of the last picture started, once ready; null while pending or before any start.
    std::shared_ptr<const PictureContrast> result() const { return m_result; }

signals:
    // On the owner's thread, when result() became available.
    void finished();

private:
    struct Job;
    void ended(const std::shared_ptr<Job>& job, std::shared_ptr<const PictureContrast> data);

    // Every analysis whose thread has not been joined yet, abandoned ones included.
    std::vector<std::shared_ptr<Job>> m_jobs;
    std::shared_ptr<Job> m_current;
    std::shared_ptr<const PictureContrast> m_result;
};

} // namespace tintara
