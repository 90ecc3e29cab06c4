#include "catalogue/SteppedPictureLoad.h"

#include "foundation/SteppedJob.h"

#include <memory>

namespace {

bool s_allowanceActive = false;
DWORD s_allowanceEnd = 0;

// One load in flight: the copy of the loading layer it works on and what it gives back.
struct PendingLoad
{
    PendingLoad(const VyxFilexImage& item, const SIZE* desired)
        : owner(&item), copy(item), hasDesired(desired != nullptr), desired(desired ? *desired : SIZE{0, 0})
    {
    }

    bool Matches(const VyxFilexImage& item, const SIZE* size) const
    {
        return &item == owner && (size != nullptr) == hasDesired &&
               (!size || (size->cx == desired.cx && size->cy == desired.cy)) &&
               item.IsSameFile(copy.GetPath(), copy.GetArchivePath()) && item.GetFileSize() == copy.GetFileSize() &&
               item.GetFileTime() == copy.GetFileTime();
    }

    const VyxFilexImage* owner; // compared, never followed: the item may be gone
    VyxFilexImage copy;
    bool hasDesired;
    SIZE desired;
    HGLOBAL picture = nullptr;
    bool ended = false;
    bool aborted = false;
};

std::unique_ptr<PendingLoad> s_pending;

void Discard()
{
    if (s_pending && s_pending->picture)
        GlobalFree(s_pending->picture);
    s_pending.reset();
}

} // namespace

SteppedPictureLoad::Allowance::Allowance(DWORD ms) : m_previousEnd(s_allowanceEnd), m_previousActive(s_allowanceActive)
{
    s_allowanceEnd = GetTickCount() + ms;
    // 0 means "no limit" to the job.
    if (s_allowanceEnd == 0)
        s_allowanceEnd = 1;
    s_allowanceActive = true;
}

SteppedPictureLoad::Allowance::~Allowance()
{
    s_allowanceEnd = m_previousEnd;
    s_allowanceActive = m_previousActive;
}

bool SteppedPictureLoad::Allowance::IsInForce()
{
    return s_allowanceActive;
}

bool SteppedPictureLoad::Allowance::IsSpent()
{
    return s_allowanceActive && static_cast<LONG>(GetTickCount() - s_allowanceEnd) >= 0;
}

SteppedPictureLoad::Result SteppedPictureLoad::Load(VyxFilexImage& item, const SIZE* desiredSize, HGLOBAL* picture)
{
    *picture = nullptr;
    // A load asked from inside the job itself (a decoder that pumps messages) is an ordinary one.
    if (SteppedJob::IsInside())
        return NotStepped;
    // A job given up from elsewhere (its plug-ins unloaded) left nothing usable.
    if (s_pending && (s_pending->aborted || (!s_pending->ended && !SteppedJob::IsWaiting())))
        Discard();
    const DWORD allowanceEnd = s_allowanceActive ? s_allowanceEnd : 0;
    if (s_pending && s_pending->Matches(item, desiredSize)) {
        if (!s_pending->ended)
            SteppedJob::Resume(allowanceEnd);
    } else {
        if (!s_allowanceActive)
            return NotStepped;
        Abort();
        s_pending = std::make_unique<PendingLoad>(item, desiredSize);
        PendingLoad* load = s_pending.get();
        SteppedJob::Start(
            [load] {
                load->picture = load->copy.LoadPicture(load->hasDesired ? &load->desired : nullptr);
                load->aborted = SteppedJob::IsAborting();
                load->ended = true;
            },
            allowanceEnd);
    }
    if (!s_pending->ended)
        return Pending;
    if (s_pending->aborted) {
        Discard();
        return Pending;
    }
    item.TakeLoadingState(s_pending->copy);
    *picture = s_pending->picture;
    s_pending->picture = nullptr;
    s_pending.reset();
    return Loaded;
}

bool SteppedPictureLoad::IsPendingFor(const VyxFilexImage& item)
{
    return s_pending && !s_pending->ended && s_pending->owner == &item;
}

bool SteppedPictureLoad::IsPending()
{
    return s_pending && !s_pending->ended;
}

void SteppedPictureLoad::Abort()
{
    if (s_pending && !s_pending->ended)
        SteppedJob::Abort();
    // From inside the job the load is only marked: it is still running and is discarded later.
    if (!SteppedJob::IsInside())
        Discard();
}
