// CFile, CFileStatus, CStdioFile, CMemFile, CSharedFile and CFileFind on scratch files.
#include "common/FrameworkTestUtil.h"

#include <memory>
#include <set>

namespace {

TEST(CFile, OpenFlagsHaveTheirDocumentedValues)
{
    const struct
    {
        UINT flag, value;
    } table[] = {{CFile::modeRead, 0},          {CFile::modeWrite, 1},         {CFile::modeReadWrite, 2},
                 {CFile::shareExclusive, 0x10}, {CFile::shareDenyWrite, 0x20}, {CFile::shareDenyRead, 0x30},
                 {CFile::shareDenyNone, 0x40},  {CFile::modeCreate, 0x1000},   {CFile::modeNoTruncate, 0x2000},
                 {CFile::typeText, 0x4000},     {CFile::typeBinary, 0x8000}};
    for (const auto& entry : table)
        EXPECT_EQ(entry.value, entry.flag);
}

TEST(CFile, OpeningAMissingFileReportsFileNotFound)
{
    FrameworkScratchFolder folder;
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(folder / L"missing.bin", CFile::modeRead, &error));
    EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, error.m_lOsError);
    EXPECT_EQ(folder / L"missing.bin", error.m_strFileName);
    EXPECT_EQ(CFile::hFileNull, file.m_hFile);

    EXPECT_FALSE(file.Open(folder / L"no\\such\\dir\\x.bin", CFile::modeRead, &error));
    EXPECT_EQ(CFileException::badPath, error.m_cause);

    bool thrown = false;
    try {
        CFile missing(folder / L"missing.bin", CFile::modeRead);
    } catch (CFileException* e) {
        thrown = e->m_cause == CFileException::fileNotFound;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
}

TEST(CFile, WriteSeekReadLengthRoundTrip)
{
    FrameworkScratchFolder folder;
    CString path = folder / L"data.bin";
    {
        CFile file(path, CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary);
        file.Write("0123456789", 10);
        EXPECT_EQ(10u, file.GetLength());
        EXPECT_EQ(4u, file.Seek(4, CFile::begin));
        char buffer[4] = {};
        EXPECT_EQ(3u, file.Read(buffer, 3));
        EXPECT_STREQ("456", buffer);
        EXPECT_EQ(7u, file.GetPosition());
        EXPECT_EQ(5u, file.Seek(-5, CFile::end));
        file.SetLength(3);
        EXPECT_EQ(3u, file.GetLength());
        EXPECT_EQ(3u, file.SeekToEnd());
        EXPECT_EQ(0u, file.Read(buffer, 3)); // end of file
        EXPECT_EQ(L"data.bin", file.GetFileName());
        EXPECT_EQ(L"data", file.GetFileTitle());
        EXPECT_EQ(path, file.GetFilePath());
    }
    EXPECT_EQ("012", FrameworkScratchFolder::ReadFile(path));

    // modeNoTruncate keeps the content, a plain modeCreate empties it.
    {
        CFile file(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        EXPECT_EQ(3u, file.GetLength());
    }
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(0u, file.GetLength());
    }
}

TEST(CFile, SeekingBeforeTheStartThrowsBadSeek)
{
    FrameworkScratchFolder folder;
    CFile file(folder.WriteFile(L"a.bin", "abc"), CFile::modeRead);
    bool badSeek = false;
    try {
        file.Seek(-1, CFile::begin);
    } catch (CFileException* e) {
        badSeek = e->m_cause == CFileException::badSeek;
        e->Delete();
    }
    EXPECT_TRUE(badSeek);
}

TEST(CFile, ShareFlagsDecideWhoElseMayOpen)
{
    FrameworkScratchFolder folder;
    CString path = folder.WriteFile(L"shared.bin", "x");
    CFileException error;
    {
        CFile holder(path, CFile::modeRead | CFile::shareDenyWrite);
        CFile reader;
        EXPECT_TRUE(reader.Open(path, CFile::modeRead | CFile::shareDenyNone, &error));
        CFile writer;
        EXPECT_FALSE(writer.Open(path, CFile::modeWrite | CFile::shareDenyNone, &error));
        EXPECT_EQ(CFileException::sharingViolation, error.m_cause);
    }
    {
        CFile holder(path, CFile::modeRead | CFile::shareExclusive);
        CFile reader;
        EXPECT_FALSE(reader.Open(path, CFile::modeRead | CFile::shareDenyNone, &error));
    }
}

TEST(CFile, StatusRoundTripsTimesAndAttributesEvenOnReadOnlyFiles)
{
    FrameworkScratchFolder folder;
    CString source = folder.WriteFile(L"source.txt", "12345");
    CString target = folder.WriteFile(L"target.txt", "x");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(source, status));
    EXPECT_EQ(5u, status.m_size);
    EXPECT_EQ(source, CString(status.m_szFullName));
    EXPECT_EQ(0, status.m_attribute & CFile::directory);

    status.m_mtime = CTime(2001, 2, 3, 4, 5, 6);
    status.m_atime = CTime(2002, 2, 3, 4, 5, 6);
    status.m_attribute = CFile::readOnly;
    CFile::SetStatus(target, status);
    CFileStatus back;
    ASSERT_TRUE(CFile::GetStatus(target, back));
    EXPECT_EQ(status.m_mtime, back.m_mtime);
    EXPECT_EQ(CFile::readOnly, back.m_attribute & CFile::readOnly);

    // Times are written to a file that is read-only already.
    status.m_mtime = CTime(2003, 3, 3, 3, 3, 3);
    CFile::SetStatus(target, status);
    ASSERT_TRUE(CFile::GetStatus(target, back));
    EXPECT_EQ(status.m_mtime, back.m_mtime);

    status.m_attribute = CFile::normal;
    CFile::SetStatus(target, status);
    ASSERT_TRUE(CFile::GetStatus(target, back));
    EXPECT_EQ(0, back.m_attribute & CFile::readOnly);

    EXPECT_FALSE(CFile::GetStatus(folder / L"missing.txt", back));
    EXPECT_FALSE(CFile::GetStatus(folder / L"*.txt", back));
    ASSERT_TRUE(CFile::GetStatus(folder.Path(), back));
    EXPECT_EQ(CFile::directory, back.m_attribute & CFile::directory);
    EXPECT_TRUE(ThrowsFrameworkException<CFileException>([&] { CFile::SetStatus(folder / L"missing", status); }));
}

TEST(CFile, RenameAndRemoveThrowOnFailure)
{
    FrameworkScratchFolder folder;
    CString a = folder.WriteFile(L"a.txt", "a");
    CFile::Rename(a, folder / L"b.txt");
    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus(a, status));
    EXPECT_TRUE(CFile::GetStatus(folder / L"b.txt", status));
    CFile::Remove(folder / L"b.txt");
    EXPECT_FALSE(CFile::GetStatus(folder / L"b.txt", status));
    try {
        CFile::Remove(folder / L"b.txt");
        ADD_FAILURE() << "no exception";
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::fileNotFound, e->m_cause);
        EXPECT_EQ(folder / L"b.txt", e->m_strFileName);
        e->Delete();
    }
    EXPECT_TRUE(ThrowsFrameworkException<CFileException>([&] { CFile::Rename(a, folder / L"c.txt"); }));
}

TEST(CStdioFile, ReadsShiftJisLinesWithCrLf)
{
    FrameworkScratchFolder folder;
    // "日本語" / "" / "表示" (表 ends in a 0x5C byte) / "last" without a line end.
    CString path = folder.WriteFile(L"sjis.txt", "\x93\xfa\x96\x7b\x8c\xea\r\n\r\n\x95\x5c\x8e\xa6\r\nlast");
    CStdioFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead | CFile::typeText));
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(L"日本語", line);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(L"", line);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(L"表示", line);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(L"last", line);
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_TRUE(line.IsEmpty());
}

TEST(CStdioFile, WritesCrLfInTextModeAndBytesInBinaryMode)
{
    FrameworkScratchFolder folder;
    CString path = folder / L"out.txt";
    {
        CStdioFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        file.WriteString(L"日本\n");
        file.WriteString(L"a\r\nb\n");
    }
    EXPECT_EQ("\x93\xfa\x96\x7b\r\na\r\nb\r\n", FrameworkScratchFolder::ReadFile(path));
    {
        CStdioFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        file.WriteString(L"x\n");
    }
    EXPECT_EQ("x\n", FrameworkScratchFolder::ReadFile(path));
}

TEST(CStdioFile, AppendModeWritesAtTheEnd)
{
    FrameworkScratchFolder folder;
    CString path = folder.WriteFile(L"log.txt", "one\r\n");
    {
        CStdioFile file(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::typeText);
        file.WriteString(L"two\n");
    }
    EXPECT_EQ("one\r\ntwo\r\n", FrameworkScratchFolder::ReadFile(path));
}

TEST(CStdioFile, PositionAndSeekAccountForTheReadBuffer)
{
    FrameworkScratchFolder folder;
    CString path = folder.WriteFile(L"lines.txt", "ab\r\ncd\r\nef\r\n");
    CStdioFile file(path, CFile::modeReadWrite | CFile::typeText);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(4u, file.GetPosition());
    file.Seek(0, CFile::begin);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(L"ab", line);
    // A write after a read lands where the reader stopped.
    file.Write("XY", 2);
    file.Seek(0, CFile::begin);
    ASSERT_TRUE(file.ReadString(line));
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(L"XY", line);
    wchar_t buffer[3];
    EXPECT_STREQ(L"ef", file.ReadString(buffer, 3)); // two characters, the rest stays
    EXPECT_STREQ(L"\n", file.ReadString(buffer, 3));
    EXPECT_EQ(nullptr, file.ReadString(buffer, 3));
}

TEST(CMemFile, GrowsZeroFillsGapsAndDetaches)
{
    CMemFile file(16);
    file.Write("abc", 3);
    file.Seek(10, CFile::begin);
    file.Write("z", 1);
    EXPECT_EQ(11u, file.GetLength());
    file.SeekToBegin();
    char buffer[11];
    EXPECT_EQ(11u, file.Read(buffer, sizeof(buffer)));
    EXPECT_EQ(0, memcmp("abc\0\0\0\0\0\0\0z", buffer, 11));
    EXPECT_EQ(0u, file.Read(buffer, 1));
    std::string big(100, 'q');
    file.Write(big.data(), static_cast<UINT>(big.size()));
    EXPECT_EQ(111u, file.GetLength());
    EXPECT_TRUE(ThrowsFrameworkException<CFileException>([&] { file.Seek(-1, CFile::begin); }));
    file.SetLength(2);
    EXPECT_EQ(2u, file.GetPosition());
    BYTE* block = file.Detach();
    EXPECT_EQ(0, memcmp("ab", block, 2));
    EXPECT_EQ(0u, file.GetLength());
    free(block);
}

TEST(CMemFile, FixedBufferIsTheContentAndCannotGrow)
{
    BYTE buffer[4] = {'w', 'x', 'y', 'z'};
    CMemFile file(buffer, 4);
    EXPECT_EQ(4u, file.GetLength());
    char read[4];
    EXPECT_EQ(4u, file.Read(read, 4));
    file.SeekToBegin();
    file.Write("AB", 2);
    EXPECT_EQ('A', buffer[0]);
    EXPECT_TRUE(ThrowsFrameworkException<CFileException>([&] { file.Write("CDE", 3); }));
    // A growable attached buffer moves to a block of the file's own instead of being reallocated.
    BYTE small[2] = {'1', '2'};
    CMemFile growable(small, 2, 8);
    EXPECT_EQ(0u, growable.GetLength());
    growable.Write("12345", 5);
    EXPECT_EQ(5u, growable.GetLength());
}

TEST(CSharedFile, DetachGivesTheGlobalBlockWithTheContent)
{
    CSharedFile file(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, 4096);
    std::string text(5000, 'k');
    file.Write(text.data(), static_cast<UINT>(text.size()));
    HGLOBAL block = file.Detach();
    ASSERT_NE(nullptr, block);
    EXPECT_GE(GlobalSize(block), 5000u);
    auto* p = static_cast<const char*>(GlobalLock(block));
    EXPECT_EQ(0, memcmp(p, text.data(), text.size()));
    GlobalUnlock(block);
    EXPECT_EQ(0u, file.GetLength());

    CSharedFile reader;
    reader.SetHandle(block); // the file owns the block now
    char first[3] = {};
    EXPECT_EQ(2u, reader.Read(first, 2));
    EXPECT_STREQ("kk", first);
}

TEST(CFileFind, WalksEveryEntryWithTheLookAheadLoop)
{
    FrameworkScratchFolder folder;
    folder.WriteFile(L"one.txt", "1");
    folder.WriteFile(L"two.dat", "22");
    CreateDirectoryW(folder / L"sub", nullptr);
    CFileFind finder;
    std::set<CString> names;
    int dots = 0;
    BOOL more = finder.FindFile(folder / L"*.*");
    ASSERT_TRUE(more);
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots()) {
            ++dots;
            continue;
        }
        names.insert(finder.GetFileName());
        EXPECT_EQ(folder / finder.GetFileName(), finder.GetFilePath());
        if (finder.GetFileName() == L"two.dat") {
            EXPECT_EQ(2u, finder.GetLength());
            EXPECT_FALSE(finder.IsDirectory());
            EXPECT_EQ(L"two", finder.GetFileTitle());
        }
        if (finder.GetFileName() == L"sub") {
            EXPECT_TRUE(finder.IsDirectory());
        }
    }
    EXPECT_EQ(2, dots);
    EXPECT_EQ((std::set<CString>{L"one.txt", L"two.dat", L"sub"}), names);
    EXPECT_EQ(folder.Path() + L"\\", finder.GetRoot());
}

TEST(CFileFind, NothingFoundKeepsTheSystemError)
{
    FrameworkScratchFolder folder;
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile(folder / L"*.none"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_TRUE(finder.GetFileName().IsEmpty());
}

// A derived finder builds its own paths from the protected root, as the folder counter does.
class CUpperFileFind : public CFileFind
{
public:
    CString GetFilePath() const override { return CString(m_strRoot).MakeUpper() + GetFileName(); }
};

TEST(CFileFind, DerivedClassesSeeTheRootAndOverrideGetFilePath)
{
    FrameworkScratchFolder folder;
    folder.WriteFile(L"x.txt", "");
    CUpperFileFind finder;
    ASSERT_TRUE(finder.FindFile(folder / L"x.txt"));
    finder.FindNextFile();
    CFileFind& base = finder;
    EXPECT_EQ(CString(folder.Path() + L"\\").MakeUpper() + L"x.txt", base.GetFilePath());
}

} // namespace

namespace {

TEST(CStdioFile, LinesCrossingTheReadBufferStayWhole)
{
    FrameworkScratchFolder folder;
    // A long line whose double-byte character straddles the 4096-byte buffer, then a short one.
    std::string longLine(4095, 'a');
    longLine += "\x93\xfa"; // 日: lead byte at 4095, trail byte at 4096
    longLine += std::string(5000, 'b');
    CString path = folder.WriteFile(L"long.txt", longLine + "\r\nend\r\n");
    CStdioFile file(path, CFile::modeRead | CFile::typeText);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(4095 + 1 + 5000, line.GetLength());
    EXPECT_EQ(L'日', line[4095]);
    EXPECT_EQ(L'b', line[4096]);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(L"end", line);
    EXPECT_FALSE(file.ReadString(line));
}

TEST(CFile, StatusOfAnOpenFileAndDuplicates)
{
    FrameworkScratchFolder folder;
    CString path = folder.WriteFile(L"open.bin", "12345678");
    CFile file(path, CFile::modeRead | CFile::shareDenyNone);
    CFileStatus status;
    ASSERT_TRUE(file.GetStatus(status));
    EXPECT_EQ(8u, status.m_size);
    EXPECT_EQ(path, CString(status.m_szFullName));
    file.Seek(3, CFile::begin);
    std::unique_ptr<CFile> copy(file.Duplicate());
    char c = 0;
    EXPECT_EQ(1u, copy->Read(&c, 1)); // a duplicate shares the position
    EXPECT_EQ('4', c);
    EXPECT_EQ(4u, file.GetPosition());
}

} // namespace
