#include "foundation/VyxFieldParser.h"
#include "foundation/VyxMap.h"
#include "foundation/VyxStringArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Items(const VyxStringArray& array)
{
    std::vector<std::wstring> items;
    for (int i = 0; i < array.GetCount(); ++i)
        items.push_back(array.GetAt(i).GetText());
    return items;
}

VyxStringArray Of(std::initializer_list<const wchar_t*> texts)
{
    VyxStringArray array;
    for (const wchar_t* text : texts)
        array.Add(VyxString(text));
    return array;
}

TEST(VyxArray, SortsStablyByCodeUnits)
{
    VyxStringArray array = Of({L"b", L"a", L"B"});
    array.Sort(false);
    EXPECT_EQ((std::vector<std::wstring>{L"B", L"a", L"b"}), Items(array));
    array.Sort(true);
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"a", L"B"}), Items(array));

    VyxArrayT<VyxString> plain; // the template has no order: nothing moves
    plain.Add(VyxString(L"b"));
    plain.Add(VyxString(L"a"));
    plain.Sort(false);
    EXPECT_TRUE(plain.GetAt(0) == L"b");

    VyxStringArray unique = Of({L"c", L"a", L"c", L"b", L"a"});
    unique.SortUnique();
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c"}), Items(unique));
}

TEST(VyxArray, SplitsAndDumps)
{
    VyxStringArray empty(L"", L',');
    EXPECT_EQ(0, empty.GetCount());
    EXPECT_STREQ(L"[]", empty.ToText());
    VyxStringArray split(L"a;b", L';');
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), Items(split));
    VyxStringArray fields(L"a,\"b,c\",d", L',');
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b,c", L"d"}), Items(fields));
    VyxStringArray quoted = Of({L"a", L"say \"hi\""});
    EXPECT_STREQ(L"[\"a\", \"say \"hi\"\"]", quoted.ToText());
    EXPECT_EQ(1, quoted.Find(L"say \"hi\""));
    EXPECT_EQ(-1, quoted.Find(L"A"));
}

TEST(VyxArray, SplittingTakesTheFieldsTheFieldParserFindsOneByOne)
{
    // Quotes hiding separators, escapes before them, empty fields, a trailing separator, an
    // unterminated quote that ends the fields.
    const wchar_t* const texts[] = {
        L"a,b", L",", L"a,,b,", L"\"x,y\",'p,q',z", L"a\\,b\\\\,c", L"say \"hi,\" there,x", L"a,\"open,b,c",
        L"\\", L"a\\", L"\"\",''", L"x\\\",y\",z",
    };
    for (const wchar_t* text : texts) {
        std::vector<std::wstring> expected;
        std::vector<wchar_t> field(wcslen(text) + 1);
        VyxFieldParser parser;
        for (int i = 0; parser.GetFieldByChar(field.data(), text, i, L',') >= 0; ++i)
            expected.push_back(field.data());
        const std::wstring what(text);
        EXPECT_EQ(expected, Items(VyxStringArray(text, L','))) << std::string(what.begin(), what.end());
    }

    // Long lists grow by half at a time, a copy of an element of the array included.
    VyxStringArray lines(std::wstring(50000, L'\n').c_str(), L'\n');
    EXPECT_EQ(50001, lines.GetCount());
    VyxStringArray grown = Of({L"first"});
    for (int i = 0; i < 1000; ++i)
        grown.AddGrowing(grown.GetAt(0));
    EXPECT_EQ(1001, grown.GetCount());
    EXPECT_TRUE(grown.GetAt(1000) == L"first");
    EXPECT_GE(grown.GetCapacity(), 1001);
}

TEST(VyxArray, CopiesAndAppends)
{
    VyxStringArray array = Of({L"a", L"b"});
    VyxStringArray other;
    other.Copy(array);
    other.Append(array);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"a", L"b"}), Items(other));
    other.Append(other);
    EXPECT_EQ(8, other.GetCount());
    CStringArray framework;
    framework.Add(L"x");
    framework.Add(L"y");
    other.CopyFrom(framework);
    EXPECT_EQ((std::vector<std::wstring>{L"x", L"y"}), Items(other));
    other.RemoveAt(0);
    EXPECT_EQ((std::vector<std::wstring>{L"y"}), Items(other));
}

TEST(VyxArray, OutOfRangeAccessRaisesIllegalIndex)
{
    VyxStringArray array = Of({L"a"});
    try {
        array.GetAt(1);
        FAIL();
    } catch (VyxGlobalErrorException* e) {
        EXPECT_EQ(-1, e->GetCode());
        EXPECT_STREQ(L"illegal index", e->GetErrorMessage());
        EXPECT_STREQ(L"VyxArray(111) VyxArrayT<class VyxString>::GetAt()", e->GetLocation());
        delete e;
    }
}

// The plug-in host's kind of map: int values looked up by key text.
class TextKeyMap : public VyxMapT<CString, const wchar_t*, int, int>
{
public:
    int CompareKeys(const wchar_t* key, const CString& entryKey) const override
    {
        return VyxString::CompareTexts(key, entryKey);
    }
};

TEST(VyxMap, SetAtReplacesInPlaceAndKeepsInsertionOrder)
{
    TextKeyMap map;
    map.SetAt(L"jpeg", 1);
    map.SetAt(L"gif", 2);
    map.SetAt(L"JPEG", 3);
    map.SetAt(L"jpeg", 4);
    EXPECT_EQ(3, map.GetCount());
    EXPECT_EQ(0, map.Find(L"jpeg"));
    EXPECT_EQ(4, map.GetAtIndex(0).value);
    EXPECT_EQ(2, map.Find(L"JPEG"));
    EXPECT_EQ(-1, map.Find(L"png"));
    CString key;
    EXPECT_EQ(2, *map.GetAtIndex(1, key));
    EXPECT_STREQ(L"gif", key);
}

TEST(VyxMap, TemplateComparesKeyPointers)
{
    VyxMapT<CString, const wchar_t*, int, int> map;
    map.SetAt(L"a", 1);
    EXPECT_EQ(-1, map.Find(L"a")); // a different pointer to the same text
}

TEST(VyxMap, BadIndexRaisesFromItsOwnSite)
{
    TextKeyMap map;
    map.SetAt(L"a", 1);
    try {
        map.GetAtIndex(-1);
        FAIL();
    } catch (VyxGlobalErrorException* e) {
        EXPECT_STREQ(L"illegal index", e->GetErrorMessage());
        EXPECT_STREQ(L"VyxMap(77) VyxMapT<class ATL::CStringT<wchar_t,class StrTraitMFC_DLL<wchar_t,class "
                     L"ATL::ChTraitsCRT<wchar_t> > >,wchar_t const *,int,int>::GetAtIndex()",
                     e->GetLocation());
        delete e;
    }
}

} // namespace
