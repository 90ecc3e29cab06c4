// Arrays, lists and maps: growth, shifting, iteration and the element lifetimes.
#include "common/FrameworkTestUtil.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

// Counts live instances so that the containers' construction and destruction can be checked.
struct Tracked
{
    static int s_live;
    int value = 0;
    Tracked() { ++s_live; }
    Tracked(int v) : value(v) { ++s_live; }
    Tracked(const Tracked& other) : value(other.value) { ++s_live; }
    Tracked& operator=(const Tracked&) = default;
    ~Tracked() { --s_live; }
    bool operator==(const Tracked& other) const { return value == other.value; }
};
int Tracked::s_live = 0;

std::vector<int> Values(const CArray<int, int>& array)
{
    std::vector<int> out;
    for (INT_PTR i = 0; i < array.GetSize(); ++i)
        out.push_back(array[i]);
    return out;
}

TEST(CArray, AddGrowsAndSetSizeZeroFillsNewElements)
{
    CArray<int, int> array;
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(i, array.Add(i));
    EXPECT_EQ(1000, array.GetSize());
    EXPECT_EQ(999, array.GetUpperBound());
    EXPECT_EQ(500, array[500]);
    array.SetSize(1003);
    EXPECT_EQ(0, array[1002]);
    array.SetSize(2);
    EXPECT_EQ((std::vector<int>{0, 1}), Values(array));
    array.SetAtGrow(4, 9);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 0, 9}), Values(array));
}

TEST(CArray, InsertAtAndRemoveAtShiftTheRest)
{
    CArray<int, int> array;
    for (int i = 0; i < 5; ++i)
        array.Add(i);
    array.RemoveAt(1);
    EXPECT_EQ((std::vector<int>{0, 2, 3, 4}), Values(array));
    array.RemoveAt(1, 2);
    EXPECT_EQ((std::vector<int>{0, 4}), Values(array));
    array.InsertAt(1, 7, 3);
    EXPECT_EQ((std::vector<int>{0, 7, 7, 7, 4}), Values(array));
    array.InsertAt(7, 5); // past the end: the gap is filled with default elements
    EXPECT_EQ((std::vector<int>{0, 7, 7, 7, 4, 0, 0, 5}), Values(array));
    CArray<int, int> other;
    other.Add(-1);
    other.Add(-2);
    array.InsertAt(0, &other);
    EXPECT_EQ(-2, array[1]);
    EXPECT_EQ(10, array.GetSize());
    EXPECT_EQ(10, array.Append(other));
    EXPECT_EQ(12, array.GetSize());
}

TEST(CArray, OutOfRangeIndexesThrowInvalidArg)
{
    CArray<int, int> array;
    array.Add(1);
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([&] { array.GetAt(1); }));
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([&] { array[-1] = 0; }));
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([&] { array.RemoveAt(0, 2); }));
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([&] { array.SetAt(5, 0); }));
    EXPECT_EQ(1, array.GetSize());
}

TEST(CArray, AddingAnElementOfTheSameArraySurvivesReallocation)
{
    CStringArray strings;
    strings.Add(L"first");
    for (int i = 0; i < 100; ++i)
        strings.Add(strings[0]);
    for (int i = 0; i < 101; ++i)
        ASSERT_EQ(L"first", strings[i]) << i;
    strings.InsertAt(0, strings[50], 2);
    EXPECT_EQ(L"first", strings[1]);
}

TEST(CArray, ElementsAreConstructedAndDestroyed)
{
    Tracked::s_live = 0;
    {
        CArray<Tracked> array;
        array.SetSize(10);
        EXPECT_EQ(10, Tracked::s_live);
        array.RemoveAt(2, 3);
        EXPECT_EQ(7, Tracked::s_live);
        array.InsertAt(1, Tracked(5), 2);
        EXPECT_EQ(9, Tracked::s_live);
        array.FreeExtra();
        EXPECT_EQ(9, Tracked::s_live);
    }
    EXPECT_EQ(0, Tracked::s_live);
}

TEST(CArray, GrowByIsHonoured)
{
    CDWordArray array;
    array.SetSize(0, 100);
    array.Add(1);
    const DWORD* data = array.GetData();
    for (int i = 0; i < 99; ++i)
        array.Add(i);
    EXPECT_EQ(data, array.GetData()); // one block of 100 held all of them
    array.Copy(CDWordArray());
    EXPECT_EQ(0, array.GetSize());
}

TEST(CTypedPtrArray, KeepsTheElementType)
{
    CString a = L"a", b = L"b";
    CTypedPtrArray<CPtrArray, CString*> array;
    array.Add(&a);
    array.InsertAt(0, &b);
    CString* first = array[0];
    EXPECT_EQ(L"b", *first);
    array[1] = &b;
    EXPECT_EQ(&b, array.GetAt(1));
    CTypedPtrArray<CObArray, CStringArray*> objects;
    CStringArray inner;
    objects.Add(&inner);
    EXPECT_EQ(&inner, objects[0]);
}

TEST(CList, AddsWalksAndRemoves)
{
    CStringList list;
    list.AddTail(L"b");
    list.AddHead(L"a");
    POSITION c = list.AddTail(L"c");
    list.InsertBefore(c, L"b2");
    list.InsertAfter(c, L"d");
    std::vector<CString> forward;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        forward.push_back(list.GetNext(pos));
    EXPECT_EQ((std::vector<CString>{L"a", L"b", L"b2", L"c", L"d"}), forward);
    std::vector<CString> backward;
    for (POSITION pos = list.GetTailPosition(); pos;)
        backward.push_back(list.GetPrev(pos));
    EXPECT_EQ(L"a", backward.back());
    EXPECT_EQ(L"c", list.GetAt(list.Find(L"c")));
    EXPECT_EQ(nullptr, list.Find(L"a", list.GetHeadPosition()));
    EXPECT_EQ(L"b2", list.GetAt(list.FindIndex(2)));
    EXPECT_EQ(nullptr, list.FindIndex(5));
    list.RemoveAt(list.Find(L"b2"));
    EXPECT_EQ(L"a", list.RemoveHead());
    EXPECT_EQ(L"d", list.RemoveTail());
    EXPECT_EQ(2, list.GetCount());
    EXPECT_EQ(L"b", list.GetHead());
    EXPECT_EQ(L"c", list.GetTail());
}

TEST(CList, ManyNodesAcrossBlocksAndSelfAppend)
{
    Tracked::s_live = 0;
    {
        CList<Tracked> list(3);
        for (int i = 0; i < 50; ++i)
            list.AddTail(Tracked(i));
        EXPECT_EQ(50, Tracked::s_live);
        list.AddTail(&list);
        EXPECT_EQ(100, list.GetCount());
        EXPECT_EQ(49, list.GetTail().value);
        while (list.GetCount() > 10)
            list.RemoveHead();
        EXPECT_EQ(10, Tracked::s_live);
    }
    EXPECT_EQ(0, Tracked::s_live);
    CList<int, int> empty;
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([&] { empty.RemoveHead(); }));
}

TEST(CTypedPtrList, KeepsTheElementType)
{
    CString a = L"a";
    CTypedPtrList<CPtrList, CString*> list;
    list.AddTail(&a);
    POSITION pos = list.GetHeadPosition();
    CString* p = list.GetNext(pos);
    EXPECT_EQ(&a, p);
    EXPECT_EQ(nullptr, pos);
}

TEST(CMap, SetLookupRemoveAndIterateEveryEntry)
{
    CMap<UINT, UINT, int, int> map(4);
    for (UINT i = 0; i < 200; ++i)
        map.SetAt(i * 7, static_cast<int>(i));
    EXPECT_EQ(200, map.GetCount());
    int value = -1;
    EXPECT_TRUE(map.Lookup(14, value));
    EXPECT_EQ(2, value);
    EXPECT_FALSE(map.Lookup(15, value));
    map[14] = 99;
    EXPECT_TRUE(map.Lookup(14, value));
    EXPECT_EQ(99, value);
    EXPECT_TRUE(map.RemoveKey(14));
    EXPECT_FALSE(map.RemoveKey(14));

    std::map<UINT, int> seen;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        UINT key;
        int v;
        map.GetNextAssoc(pos, key, v);
        EXPECT_TRUE(seen.emplace(key, v).second) << key;
    }
    EXPECT_EQ(199u, seen.size());
    EXPECT_EQ(5, seen[35]);
}

TEST(CMap, RemovingTheCurrentEntryWhileIteratingIsSafe)
{
    CMap<int, int, int, int> map;
    for (int i = 0; i < 50; ++i)
        map[i] = i;
    POSITION pos = map.GetStartPosition();
    int visited = 0;
    while (pos) {
        int key, value;
        map.GetNextAssoc(pos, key, value);
        if (key % 2 == 0)
            map.RemoveKey(key);
        ++visited;
    }
    EXPECT_EQ(50, visited);
    EXPECT_EQ(25, map.GetCount());
    for (auto* pair = map.PGetFirstAssoc(); pair; pair = map.PGetNextAssoc(pair))
        EXPECT_EQ(1, pair->key % 2);
    map.RemoveAll();
    EXPECT_EQ(nullptr, map.GetStartPosition());
}

TEST(CMap, InitHashTableOnlyWhileEmpty)
{
    CMap<int, int, int, int> map;
    map.InitHashTable(101);
    EXPECT_EQ(101u, map.GetHashTableSize());
    map[1] = 1;
    EXPECT_TRUE(ThrowsFrameworkException<CInvalidArgException>([&] { map.InitHashTable(7); }));
}

TEST(NamedMaps, StringKeysAreCaseSensitiveAndCopied)
{
    CMapStringToString strings;
    {
        CString key = L"Key";
        strings.SetAt(key, L"value");
    }
    CString value;
    EXPECT_TRUE(strings.Lookup(L"Key", value));
    EXPECT_EQ(L"value", value);
    EXPECT_FALSE(strings.Lookup(L"key", value));
    strings[L"日本"] = L"語";
    EXPECT_TRUE(strings.Lookup(L"日本", value));
    EXPECT_EQ(L"語", value);

    CMapStringToPtr pointers;
    int target = 0;
    pointers.SetAt(L"p", &target);
    void* found = nullptr;
    EXPECT_TRUE(pointers.Lookup(L"p", found));
    EXPECT_EQ(&target, found);

    CMapPtrToPtr byPointer;
    byPointer.SetAt(&target, &value);
    EXPECT_TRUE(byPointer.Lookup(&target, found));
    EXPECT_EQ(&value, found);

    CMapWordToPtr byWord;
    byWord[WORD(3)] = &target;
    EXPECT_TRUE(byWord.Lookup(3, found));

    CMapStringToOb objects;
    CStringArray array;
    objects[L"a"] = &array;
    CObject* object = nullptr;
    EXPECT_TRUE(objects.Lookup(L"a", object));
    EXPECT_EQ(&array, object);
}

TEST(CMap, CStringKeyWithReferenceArgument)
{
    CMap<CString, const CString&, int, int> map;
    map[CString(L"a")] = 1;
    map.SetAt(L"b", 2);
    int value = 0;
    EXPECT_TRUE(map.Lookup(L"b", value));
    EXPECT_EQ(2, value);
    const auto* pair = map.PLookup(L"a");
    ASSERT_NE(nullptr, pair);
    EXPECT_EQ(1, pair->value);
}

} // namespace
