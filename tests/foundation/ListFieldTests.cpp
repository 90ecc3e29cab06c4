#include "foundation/ListField.h"

#include <gtest/gtest.h>

TEST(ListField, InsertsTheValueAtItsFieldAndMovesTheRestUp)
{
    struct
    {
        const wchar_t* list;
        int index;
        const wchar_t* result;
    } const cases[] = {
        {L"a", 2, L"a,,x"},
        {L"", 0, L"x"},
        {L"a,b,c", 1, L"a,x,b,c"},
        {L"a,b,c", 0, L"x,a,b,c"},
        {L"a,b,c", 3, L"a,b,c,x"},
        {L"a,b", 5, L"a,b,,,,x"},
        {L"\"p,q\",r", 1, L"\"p,q\",x,r"},
        {L"a\\,b", 1, L"a\\,x,b"},
        {L"k\"v\"w,z", 2, L"k\"v\"w,z,x"},
        {L"a,", 1, L"a,x,"},
        {L"\"open,b", 1, L"\"open,b,x"},
    };
    for (const auto& c : cases) {
        wchar_t buffer[64];
        wcscpy(buffer, c.list);
        EXPECT_EQ(0, SetFieldInBuffer(L"x", buffer, c.index));
        EXPECT_STREQ(c.result, buffer) << c.list << " at " << c.index;
    }
}

TEST(ListField, LeadingEmptyFieldsKeepTheirColumns)
{
    CString list;
    EXPECT_EQ(0, SetListField(L"x", &list, 1));
    EXPECT_STREQ(L",x", list.GetString());
    list = L"";
    SetListField(L"y", &list, 3);
    EXPECT_STREQ(L",,,y", list.GetString());
    SetListField(L"w", &list, 0);
    EXPECT_STREQ(L"w,,,,y", list.GetString());
}

TEST(ListField, TypedValuesAreFormattedFirst)
{
    CString list = L"a,b";
    SetListFieldInt(-5, &list, 1);
    SetListField(2.5, &list, 0);
    SetListField(static_cast<unsigned short>(7), &list, 4);
    SetListFieldULong(4000000000UL, &list, 5);
    SetListField(-9000000000LL, &list, 6);
    SetListField(3u, &list, 7);
    SetListField(-2L, &list, 8);
    EXPECT_STREQ(L"2.5,a,-5,b,7,4000000000,-9000000000,3,-2", list.GetString());
    wchar_t buffer[64] = L"p;q";
    SetFieldInBuffer(L"r", buffer, 1, L';');
    EXPECT_STREQ(L"p;r;q", buffer);
    SetFieldInBuffer(12, buffer, 0);
    EXPECT_STREQ(L"12,p;r;q", buffer);
    SetFieldInBuffer(L"m", buffer, 1, L"::");
    EXPECT_STREQ(L"12,p;r;q::m", buffer);
}
