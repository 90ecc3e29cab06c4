#include <gtest/gtest.h>

#include "catalogue/CKWDocSettings.h"
#include "catalogue/DeleteRule.h"

#include <shellapi.h>

TEST(DeleteRule, TheRecycleBinOptionShiftAndTheNoQuestionOptionChooseTheWayAndWhoAsks)
{
    const WORD asking = FOF_ALLOWUNDO;
    const WORD silent = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    struct Row
    {
        bool trashCan, noConfirm, shift;
        bool forGood, confirm;
        WORD recycleFlags;
    };
    const Row rows[] = {
        {true, false, false, false, true, asking}, {true, true, false, false, false, silent},
        {true, false, true, true, true, asking},   {true, true, true, true, false, silent},
        {false, false, false, true, true, asking}, {false, true, false, true, false, silent},
        {false, false, true, true, true, asking},  {false, true, true, true, false, silent},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "TrashCan " << row.trashCan << ", DELQA " << row.noConfirm << ", Shift "
                                        << row.shift);
        CKWDocSettings settings;
        settings.TrashCan = row.trashCan;
        settings.DELQA = row.noConfirm;
        const DeleteRule rule = DeleteRule::Of(settings, row.shift);
        EXPECT_EQ(row.forGood, rule.forGood);
        EXPECT_EQ(row.confirm, rule.confirm);
        EXPECT_EQ(row.recycleFlags, DeleteRule::RecycleFlags(!rule.confirm));
    }
}
