// Run-time classes, dynamic creation and the exceptions.
#include "common/FrameworkTestUtil.h"

namespace {

class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CCircle : public CShape
{
    DECLARE_DYNCREATE(CCircle)
public:
    int m_radius = 7;
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

class CSquare : public CShape
{
    DECLARE_DYNCREATE(CSquare)
};
IMPLEMENT_DYNCREATE(CSquare, CShape)

TEST(ObjectModel, IsKindOfFollowsTheBaseChain)
{
    CCircle circle;
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(circle.IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_STREQ("CCircle", circle.GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(static_cast<int>(sizeof(CCircle)), RUNTIME_CLASS(CCircle)->m_nObjectSize);
    CObject* asObject = &circle;
    EXPECT_EQ(&circle, DYNAMIC_DOWNCAST(CCircle, asObject));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CSquare, asObject));
}

TEST(ObjectModel, CreateObjectBuildsDynCreateClassesOnly)
{
    CObject* created = RUNTIME_CLASS(CCircle)->CreateObject();
    ASSERT_NE(nullptr, created);
    EXPECT_TRUE(created->IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_EQ(7, static_cast<CCircle*>(created)->m_radius);
    delete created;
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CShape)->CreateObject());
}

TEST(ObjectModel, FrameworkClassesCarryTheirRuntimeClass)
{
    CStringArray strings;
    EXPECT_TRUE(strings.IsKindOf(RUNTIME_CLASS(CStringArray)));
    CFileException fileError;
    EXPECT_TRUE(fileError.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_STREQ("CFileException", fileError.GetRuntimeClass()->m_lpszClassName);
}

TEST(Exceptions, ThrownByPointerCaughtByBaseAndDeleted)
{
    bool caught = false;
    try {
        AfxThrowInvalidArgException();
    } catch (CException* e) {
        caught = e->IsKindOf(RUNTIME_CLASS(CInvalidArgException));
        wchar_t text[100];
        EXPECT_TRUE(e->GetErrorMessage(text, 100));
        EXPECT_STREQ(L"無効な引数が指定されました。", text);
        e->Delete();
    }
    EXPECT_TRUE(caught);
}

TEST(Exceptions, MemoryExceptionIsStaticAndSurvivesDelete)
{
    CException* first = nullptr;
    CException* second = nullptr;
    try {
        AfxThrowMemoryException();
    } catch (CMemoryException* e) {
        first = e;
        e->Delete();
    }
    try {
        AfxThrowMemoryException();
    } catch (CException* e) {
        second = e;
        EXPECT_FALSE(e->m_bAutoDelete);
        e->Delete();
    }
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(first, second);
}

TEST(Exceptions, FileExceptionMapsOsErrorsToCauses)
{
    const struct
    {
        LONG error;
        int cause;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {ERROR_PATH_NOT_FOUND, CFileException::badPath},
        {ERROR_ACCESS_DENIED, CFileException::accessDenied},
        {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
        {ERROR_DISK_FULL, CFileException::diskFull},
        {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
        {ERROR_HANDLE_EOF, CFileException::endOfFile},
        {0, CFileException::none},
        {12345, CFileException::genericException},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.cause, CFileException::OsErrorToException(c.error)) << c.error;
}

TEST(Exceptions, ThrowOsErrorCarriesErrorFileAndJapaneseText)
{
    try {
        CFileException::ThrowOsError(ERROR_FILE_NOT_FOUND, L"C:\\nothing.txt");
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::fileNotFound, e->m_cause);
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, e->m_lOsError);
        EXPECT_EQ(L"C:\\nothing.txt", e->m_strFileName);
        wchar_t text[200];
        EXPECT_TRUE(e->GetErrorMessage(text, 200));
        EXPECT_STREQ(L"C:\\nothing.txt が見つかりません。", text);
        e->Delete();
    }
}

} // namespace
