#include "foundation/CReg.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

namespace {

// Points the application object's registry names at a scratch tree for one test.
class ScratchRegistry
{
public:
    ScratchRegistry() : m_app(AfxGetApp())
    {
        m_oldKey = m_app->m_pszRegistryKey;
        m_oldProfile = m_app->m_pszProfileName;
        m_key.Format(L"VyxRegTest%u", GetCurrentProcessId());
        m_app->m_pszRegistryKey = m_key;
        m_app->m_pszProfileName = L"Profile";
    }
    ~ScratchRegistry()
    {
        SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\" + m_key);
        m_app->m_pszRegistryKey = m_oldKey;
        m_app->m_pszProfileName = m_oldProfile;
    }
    const CString& Key() const { return m_key; }

private:
    CWinApp* m_app;
    CString m_key;
    LPCWSTR m_oldKey;
    LPCWSTR m_oldProfile;
};

void MakeKey(const CString& path)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CURRENT_USER, path, &key));
    RegCloseKey(key);
}

} // namespace

TEST(CReg, KeysAreBuiltFromTheApplicationsRegistryNames)
{
    ScratchRegistry registry;
    CReg reg;
    EXPECT_STREQ((L"Software\\" + registry.Key()).GetString(), reg.GetCompanyKey().GetString());
    EXPECT_STREQ((L"Software\\" + registry.Key() + L"\\Profile").GetString(), reg.GetApplicationKey().GetString());
}

TEST(CReg, EnumeratesSubKeysInTwoIndependentWalksAndDeletesTrees)
{
    ScratchRegistry registry;
    CReg reg;
    MakeKey(reg.GetApplicationKey() + L"\\Apps\\one\\deep");
    MakeKey(reg.GetApplicationKey() + L"\\Apps\\two");
    wchar_t name[64], other[64];
    ASSERT_TRUE(reg.EnumFirstSubKey(L"Apps", name, 64));
    EXPECT_STREQ(L"one", name);
    ASSERT_TRUE(reg.EnumFirstSubKey2(L"Apps\\one", other, 64));
    EXPECT_STREQ(L"deep", other);
    ASSERT_TRUE(reg.EnumNextSubKey(name, 64));
    EXPECT_STREQ(L"two", name);
    EXPECT_FALSE(reg.EnumNextSubKey(name, 64));
    EXPECT_FALSE(reg.EnumNextSubKey2(other, 64));
    EXPECT_FALSE(reg.EnumFirstSubKey(L"Missing", name, 64));
    EXPECT_TRUE(reg.DeleteKeyTree(L"Apps\\one"));
    ASSERT_TRUE(reg.EnumFirstSubKey(L"Apps", name, 64));
    EXPECT_STREQ(L"two", name);
    EXPECT_FALSE(reg.EnumNextSubKey(name, 64));
}
