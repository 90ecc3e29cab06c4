#include "script/VyxVariantArray.h"
#include "script/VyxVariantMap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void ExpectRaises(int code, const wchar_t* message, const wchar_t* location, void (*operation)())
{
    try {
        operation();
        ADD_FAILURE() << "no exception";
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(code, e->GetCode());
        EXPECT_STREQ(message, e->GetErrorMessage());
        EXPECT_STREQ(location, e->GetLocation());
        delete e;
    }
}

TEST(VyxVariantArray, SplitParsesNumbersAndTexts)
{
    struct Row
    {
        const wchar_t* field;
        VyxVariant::Type type;
        const wchar_t* text;
    } rows[] = {
        {L"0.25", VyxVariant::Double, L"0.25"}, {L"1", VyxVariant::Int, L"1"},
        {L"1.50", VyxVariant::Double, L"1.5"},  {L"007", VyxVariant::Int, L"7"},
        {L"-3", VyxVariant::Int, L"-3"},        {L"abc", VyxVariant::String, L"abc"},
        {L"1e3", VyxVariant::String, L"1e3"},   {L"\"x,y\"", VyxVariant::String, L"\"x,y\""},
    };
    for (const Row& row : rows) {
        VyxVariantArray array;
        ASSERT_EQ(1, array.Split(row.field, L",")) << row.field;
        EXPECT_EQ(row.type, array[0].GetType()) << row.field;
        EXPECT_STREQ(row.text, array[0].GetString()) << row.field;
    }
    // A null text keeps the elements, an empty one empties them, an open quote ends the split.
    VyxVariantArray array;
    array.Split(L"1,2", L",");
    EXPECT_EQ(0, array.Split(nullptr, L","));
    EXPECT_EQ(2, array.GetCount());
    EXPECT_EQ(0, array.Split(L"", L","));
    EXPECT_EQ(0, array.GetCount());
    EXPECT_EQ(2, array.Split(L"a,b,\"c,d", L","));
}

TEST(VyxVariantArray, JoinGivesBackTheTextsSplitTook)
{
    VyxVariantArray array;
    EXPECT_EQ(CString(), array.Join(L","));
    array.Split(L"0.25,0.333,1,1.50,2", L",");
    EXPECT_EQ(CString(L"0.25,0.333,1,1.5,2"), array.Join(L","));
    array.Add(VyxVariant(L"x"));
    EXPECT_EQ(CString(L"0.25 / 0.333 / 1 / 1.5 / 2 / x"), array.Join(L" / "));
}

TEST(VyxVariantArray, DumpShowsDisplayTexts)
{
    VyxVariantArray array;
    EXPECT_STREQ(L"[]", array.ToText());
    array.Add(VyxVariant(1));
    array.Add(VyxVariant(L"a"));
    array.Add(VyxVariant(true));
    EXPECT_STREQ(L"[1, \"a\", (true)]", array.ToText());

    // An element with an empty display text leaves no separator while nothing precedes it.
    VyxVariantArray leading;
    leading.Add(VyxVariant());
    leading.Add(VyxVariant(2));
    leading.Add(VyxVariant());
    leading.Add(VyxVariant(3));
    EXPECT_STREQ(L"[2, , 3]", leading.ToText());
}

TEST(VyxVariantArray, ComparesAndKeysByValue)
{
    VyxVariantArray array;
    EXPECT_EQ(0, array.CompareElements(VyxVariant(5), VyxVariant(L"5")));
    EXPECT_EQ(-1, array.CompareElements(VyxVariant(L"10"), VyxVariant(L"9")));
    EXPECT_EQ(1, array.CompareElements(VyxVariant(2.5), VyxVariant(1)));
    EXPECT_STREQ(L"2.5", *array.KeyOf(VyxVariant(2.5)));
    array.Split(L"3,1,2", L",");
    array.Sort();
    EXPECT_STREQ(L"[1, 2, 3]", array.ToText());
}

TEST(VyxVariantStack, PopLeavesTheValueReadableUntilTheNextPushAndAnEmptyStackRaises)
{
    VyxVariantStack stack;
    stack.Push(VyxVariant(1));
    stack.Push(VyxVariant(L"two"));
    VyxVariant* popped = stack.Pop();
    EXPECT_STREQ(L"two", popped->GetString());
    EXPECT_EQ(1, stack.Tail()->GetInt());
    EXPECT_EQ(1, stack.GetCount());

    ExpectRaises(-3, L"illegal stack index:", L"VyxVariant(777) VyxVariantStack::Pop()", [] {
        VyxVariantStack stack;
        stack.Pop();
    });
}

TEST(VyxVariantMap, StoringANameAgainKeepsItsPlace)
{
    VyxVariantMap map;
    EXPECT_STREQ(L"{}", map.ToText());
    map.SetAt(L"a", VyxVariant(1));
    map.SetAt(L"b", VyxVariant(L"x"));
    map.SetAt(L"A", VyxVariant(3)); // names differ by case
    map.SetAt(L"a", VyxVariant(2));
    EXPECT_EQ(3, map.GetCount());
    EXPECT_STREQ(L"{{key:\"a\", value:2}, {key:\"b\", value:\"x\"}, {key:\"A\", value:3}}", map.ToText());
    EXPECT_EQ(2, map.Lookup(L"a")->GetInt());
    EXPECT_EQ(nullptr, map.Lookup(L"B"));

    // A value taken from the map itself survives the block growing under it.
    for (int i = 0; i < 120; ++i)
        map.SetAt(CString(L"n") + VyxVariant(i).GetString(), *map.Lookup(L"b"));
    EXPECT_STREQ(L"x", map.Lookup(L"n119")->GetString());
}

TEST(VyxVariantMap, ComparesKeysByCodeUnitsAndValuesByValue)
{
    VyxVariantMap map;
    EXPECT_EQ(0, map.CompareKeys(L"ab", CString(L"ab")));
    EXPECT_EQ(-1, map.CompareKeys(L"ab", CString(L"abc")));
    EXPECT_EQ(1, map.CompareKeys(L"\xFF01", CString(L"a")));
    EXPECT_EQ(0, map.CompareValues(VyxVariant(3.0), VyxVariant(L"3")));
    EXPECT_EQ(-1, map.CompareValues(VyxVariant(1), VyxVariant(2)));
    EXPECT_EQ(1, map.CompareValues(VyxVariant(true), VyxVariant(false)));
}

// Counts the key comparisons of its lookups.
class CountingMap : public VyxVariantMap
{
public:
    int CompareKeys(const wchar_t* key, const CString& entryKey) const override
    {
        ++comparisons;
        return VyxVariantMap::CompareKeys(key, entryKey);
    }
    mutable int comparisons = 0;
};

TEST(VyxVariantMap, ANameIsFoundAmongManyWithAFewComparisons)
{
    // A script's array elements are variables of their own: 20,000 of them.
    CountingMap map;
    for (int i = 0; i < 20000; ++i)
        map.SetAt((L"a[" + std::to_wstring(i) + L"]").c_str(), VyxVariant(i));
    map.comparisons = 0;
    ASSERT_NE(nullptr, map.Lookup(L"a[19999]"));
    EXPECT_EQ(19999, map.Lookup(L"a[19999]")->GetInt());
    EXPECT_EQ(nullptr, map.Lookup(L"a[20000]"));
    map.SetAt(L"a[0]", VyxVariant(-1));
    EXPECT_LT(map.comparisons, 40);
    EXPECT_EQ(20000, map.GetCount());
    EXPECT_STREQ(L"a[123]", static_cast<const wchar_t*>(map.GetAtIndex(123).key)); // insertion order stays
    EXPECT_EQ(-1, map.GetAtIndex(0).value.GetInt());

    // Copies and assignments find their own entries.
    VyxVariantMap copy(map);
    copy.SetAt(L"a[5]", VyxVariant(7));
    EXPECT_EQ(7, copy.Lookup(L"a[5]")->GetInt());
    EXPECT_EQ(5, map.Lookup(L"a[5]")->GetInt());
    VyxVariantMap small;
    small.SetAt(L"x", VyxVariant(1));
    copy = small;
    EXPECT_EQ(nullptr, copy.Lookup(L"a[5]"));
    EXPECT_EQ(1, copy.Lookup(L"x")->GetInt());
    EXPECT_EQ(0, copy.Find(L"x"));
}

TEST(VyxVariantMap, BadIndexRaisesIllegalIndex)
{
    ExpectRaises(-1, L"illegal index",
                 L"VyxMap(77) VyxMapT<class ATL::CStringT<wchar_t,class StrTraitMFC_DLL<wchar_t,class "
                 L"ATL::ChTraitsCRT<wchar_t> > >,wchar_t const *,class VyxVariant,class VyxVariant &>::GetAtIndex()",
                 [] {
                     VyxVariantMap map;
                     CString key;
                     map.GetAtIndex(-1, key);
                 });
}

} // namespace
