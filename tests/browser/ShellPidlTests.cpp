#include <gtest/gtest.h>

#include "browser/CShellPidl.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// Identifier lists built by hand: items of the given payload sizes and a terminator.
std::vector<BYTE> MakeList(std::initializer_list<int> payloads, BYTE fill = 0x41)
{
    std::vector<BYTE> bytes;
    for (int payload : payloads) {
        USHORT cb = static_cast<USHORT>(payload + 2);
        bytes.push_back(static_cast<BYTE>(cb & 0xFF));
        bytes.push_back(static_cast<BYTE>(cb >> 8));
        for (int i = 0; i < payload; ++i)
            bytes.push_back(static_cast<BYTE>(fill + i));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

LPCITEMIDLIST AsList(const std::vector<BYTE>& bytes)
{
    return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}

// A folder that answers every display-name request with one prepared record.
class FakeFolder : public IShellFolder
{
public:
    STRRET answer = {};
    HRESULT result = S_OK;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, LPBC, LPOLESTR, ULONG*, LPITEMIDLIST*, ULONG*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, LPENUMIDLIST*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, LPBC, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, LPBC, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, LPCITEMIDLIST*, SFGAOF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST, SHGDNF, STRRET* name) override
    {
        *name = answer;
        if (answer.uType == STRRET_WSTR && answer.pOleStr) {
            // The caller owns and frees the string, so each answer is a new one.
            size_t bytes = (wcslen(answer.pOleStr) + 1) * sizeof(wchar_t);
            name->pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
            memcpy(name->pOleStr, answer.pOleStr, bytes);
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCOLESTR, SHGDNF, LPITEMIDLIST*) override
    {
        return E_NOTIMPL;
    }
};

} // namespace

TEST(ShellPidl, ConcatenationJoinsItemsAndKeepsOneTerminator)
{
    CShellPidl helper;
    std::vector<BYTE> one = MakeList({3});
    std::vector<BYTE> two = MakeList({5, 1}, 0x61);
    std::vector<BYTE> empty = MakeList({});

    struct Case
    {
        const std::vector<BYTE>* first;
        const std::vector<BYTE>* second;
        UINT size;
    };
    const Case cases[] = {{nullptr, &two, 10}, {&one, &empty, 5}, {&one, &two, 15}, {nullptr, &empty, 0}};
    for (const Case& c : cases) {
        LPITEMIDLIST joined = helper.ConcatPidls(c.first ? AsList(*c.first) : nullptr, AsList(*c.second));
        ASSERT_NE(nullptr, joined);
        EXPECT_EQ(c.size, CShellPidl::GetPidlSize(joined));
        const BYTE* bytes = reinterpret_cast<const BYTE*>(joined);
        UINT firstSize = c.first ? CShellPidl::GetPidlSize(AsList(*c.first)) : 0;
        if (c.first) {
            EXPECT_EQ(0, memcmp(bytes, c.first->data(), firstSize));
        }
        EXPECT_EQ(0, memcmp(bytes + firstSize, c.second->data(), c.second->size()));
        CoTaskMemFree(joined);
    }
}

TEST(ShellPidl, CopyingTheFirstItemWritesATerminatorRatherThanTheNextItemsCount)
{
    CShellPidl helper;
    std::vector<BYTE> list = MakeList({4, 6});
    LPMALLOC allocator = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetMalloc(&allocator)));
    LPITEMIDLIST copy = helper.CopyItemId(allocator, AsList(list));
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(6u, CShellPidl::GetPidlSize(copy));
    const BYTE* bytes = reinterpret_cast<const BYTE*>(copy);
    EXPECT_EQ(0, memcmp(bytes, list.data(), 6));
    EXPECT_EQ(0, bytes[6]);
    EXPECT_EQ(0, bytes[7]);
    allocator->Free(copy);
    allocator->Release();
}

TEST(ShellPidl, NamesOfEveryRecordKindAreCutAt259Characters)
{
    CShellPidl helper;
    FakeFolder folder;
    wchar_t name[260];

    std::wstring longWide(300, L'あ');
    folder.answer.uType = STRRET_WSTR;
    folder.answer.pOleStr = &longWide[0];
    ASSERT_TRUE(helper.GetName(&folder, nullptr, SHGDN_NORMAL, name));
    EXPECT_EQ(259u, wcslen(name));

    // The offset names an ANSI text inside the identifier (code page 932 here).
    std::vector<BYTE> list = MakeList({12});
    const char ansi[] = "\x82\xA0x.jpg"; // "あx.jpg"
    memcpy(list.data() + 4, ansi, sizeof(ansi));
    folder.answer.uType = STRRET_OFFSET;
    folder.answer.uOffset = 4;
    ASSERT_TRUE(helper.GetName(&folder, AsList(list), SHGDN_NORMAL, name));
    EXPECT_STREQ(L"あx.jpg", name);

    // An ANSI text that runs to the item's end is read no further.
    std::vector<BYTE> unterminated = MakeList({6});
    memcpy(unterminated.data() + 2, "abcdef", 6);
    folder.answer.uOffset = 2;
    ASSERT_TRUE(helper.GetName(&folder, AsList(unterminated), SHGDN_NORMAL, name));
    EXPECT_STREQ(L"abcdef", name);
    folder.answer.uOffset = 40;
    EXPECT_FALSE(helper.GetName(&folder, AsList(unterminated), SHGDN_NORMAL, name));

    folder.answer.uType = STRRET_CSTR;
    memset(folder.answer.cStr, 'z', MAX_PATH);
    ASSERT_TRUE(helper.GetName(&folder, nullptr, SHGDN_NORMAL, name));
    EXPECT_EQ(259u, wcslen(name));

    folder.answer.uType = 7;
    EXPECT_FALSE(helper.GetName(&folder, nullptr, SHGDN_NORMAL, name));
    folder.answer.uType = STRRET_CSTR;
    folder.result = E_FAIL;
    EXPECT_FALSE(helper.GetName(&folder, nullptr, SHGDN_NORMAL, name));
}

TEST(ShellPidl, TheDesktopNamesADriveByItsPathAndGivesItAnIcon)
{
    CoInitialize(nullptr);
    CShellPidl helper;
    LPSHELLFOLDER desktop = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetDesktopFolder(&desktop)));
    wchar_t drive[] = L"C:\\";
    LPITEMIDLIST list = nullptr;
    ASSERT_TRUE(SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, drive, nullptr, &list, nullptr)));
    wchar_t name[260] = {};
    ASSERT_TRUE(helper.GetName(desktop, list, SHGDN_FORPARSING, name));
    EXPECT_STREQ(L"C:\\", name);
    EXPECT_GE(helper.GetIconIndex(list, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_PIDL), 0);
    CoTaskMemFree(list);
    desktop->Release();
    CoUninitialize();
}
