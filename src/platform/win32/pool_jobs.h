#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

namespace vigilon {

// Jobs run on threads of the system's pool, each known to its caller by a ticket. A job's state is
// shared between this table and its pool thread, which writes its `result` last, so a job that
// outlives its ticket (or the table) stays alive until its thread is done with it.
template <typename Job, typename Result>
class PoolJobs {
public:
    // Queues `job` for `work`, which is given a new std::shared_ptr<Job>* to delete; a job the pool
    // refuses ends at once with `refused`.
    std::uint32_t Begin(std::shared_ptr<Job> job, LPTHREAD_START_ROUTINE work, Result refused) {
        if (++last_ == 0) ++last_;
        auto owner = std::make_unique<std::shared_ptr<Job>>(job);
        if (QueueUserWorkItem(work, owner.get(), WT_EXECUTELONGFUNCTION)) {
            owner.release();  // the pool thread owns its share now
        } else {
            job->result.store(refused);
        }
        jobs_.emplace(last_, std::move(job));
        return last_;
    }

    // The job's result, or `unknown` for a ticket not held; a job that has ended is forgotten.
    Result Take(std::uint32_t ticket, Result unknown) {
        auto const it = jobs_.find(ticket);
        if (it == jobs_.end()) return unknown;
        Result const result = it->second->result.load();
        if (result != Result::Pending) jobs_.erase(it);
        return result;
    }

    // The job of a ticket held, or none.
    std::shared_ptr<Job> Find(std::uint32_t ticket) const {
        auto const it = jobs_.find(ticket);
        return it == jobs_.end() ? nullptr : it->second;
    }

    // Calls `visit` with each job held.
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (auto const& [ticket, job] : jobs_) visit(*job);
    }

    // Forgets the ticket; its job, if still under way, ends unseen.
    void Forget(std::uint32_t ticket) { jobs_.erase(ticket); }

private:
    std::map<std::uint32_t, std::shared_ptr<Job>> jobs_;
    std::uint32_t last_ = 0;
};

}  // namespace vigilon
