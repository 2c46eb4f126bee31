#include "support/shared_scheduler.h"

#include <QSet>
#include <gtest/gtest.h>

#include <memory>

namespace {

class SchedulerEnvironment : public ::testing::Environment {
public:
    const QString& Prepare()
    {
        if (!started_) {
            started_ = true;
            missing_ = PrivateCupsScheduler::MissingPrerequisite();
            problem_ = missing_;
            if (missing_.isEmpty()) {
                scheduler_ = std::make_unique<PrivateCupsScheduler>();
                problem_ = scheduler_->Start();
            }
        }
        return problem_;
    }
    bool Missing()
    {
        Prepare();
        return !missing_.isEmpty();
    }
    PrivateCupsScheduler& Scheduler() { return *scheduler_; }
    QString UseInThisProcess()
    {
        if (inThisProcess_)
            return QString();
        QString problem = Prepare();
        if (problem.isEmpty())
            problem = scheduler_->UseInThisProcess();
        inThisProcess_ = problem.isEmpty();
        return problem;
    }
    QSet<QString>& Queues() { return queues_; }
    void TearDown() override { scheduler_.reset(); }

private:
    bool started_ = false;
    bool inThisProcess_ = false;
    QString missing_;
    QString problem_;
    std::unique_ptr<PrivateCupsScheduler> scheduler_;
    QSet<QString> queues_;
};

SchedulerEnvironment* const gEnvironment =
    static_cast<SchedulerEnvironment*>(::testing::AddGlobalTestEnvironment(new SchedulerEnvironment));

}  // namespace

namespace SharedScheduler {

QString Problem() { return gEnvironment->Prepare(); }

bool Missing() { return gEnvironment->Missing(); }

PrivateCupsScheduler& Get() { return gEnvironment->Scheduler(); }

QString UseInThisProcess() { return gEnvironment->UseInThisProcess(); }

QString Queue(const QString& name, const QString& ppdPath, bool asDefault)
{
    if (!Problem().isEmpty())
        return Problem();
    // A queue a test deleted is added again.
    const bool there = gEnvironment->Queues().contains(name) &&
                       Get().Run(QStringLiteral("lpstat"), {QStringLiteral("-p"), name}).startsWith(QStringLiteral("printer "));
    if (!there) {
        const QString added = Get().AddQueue(name, ppdPath);
        if (!added.isEmpty())
            return added;
        gEnvironment->Queues().insert(name);
    }
    return asDefault ? Get().SetDefault(name) : QString();
}

}  // namespace SharedScheduler
