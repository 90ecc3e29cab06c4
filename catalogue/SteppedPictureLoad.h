// A file item's picture loaded over several idle steps, so that a large picture's decode never
// holds the user-interface thread for long: while an Allowance is in force, an item's load runs
// as a stepped job (foundation/SteppedJob) on a copy of the item's loading layer, giving way from
// the decoders' progress callbacks once the allowance is spent. The copy keeps the job free of
// the item, which may change or go while the job waits; the next load asked of the same file for
// the same size goes on with the job and hands its result (picture and facts) to that item.
#pragma once

#include "catalogue/VyxFilexImage.h"

class SteppedPictureLoad
{
public:
    // While alive, loads may be stepped and give way ms milliseconds after it began.
    class Allowance
    {
    public:
        explicit Allowance(DWORD ms);
        ~Allowance();
        Allowance(const Allowance&) = delete;
        Allowance& operator=(const Allowance&) = delete;
        // The allowance in force is spent.
        static bool IsSpent();
        // An allowance is in force: work may give way and be asked for again.
        static bool IsInForce();

    private:
        DWORD m_previousEnd;
        bool m_previousActive;
    };

    enum Result { NotStepped, Loaded, Pending };

    // The item's picture for the size: Loaded (picture set, maybe null: none), Pending (the load
    // gave way and waits; ask again), or NotStepped (no allowance and no waiting load of this
    // file and size: the caller loads as usual). Outside an allowance a waiting load of the same
    // file and size is finished at once.
    static Result Load(VyxFilexImage& item, const SIZE* desiredSize, HGLOBAL* picture);
    // A load of this item waits.
    static bool IsPendingFor(const VyxFilexImage& item);
    static bool IsPending();
    // The waiting load is given up; everything it holds is freed.
    static void Abort();
};
