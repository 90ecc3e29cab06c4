// Hostile texts for the macro expander: templates, names, notes and information texts built from
// macro words that refer to themselves and to each other. Every expansion must end, stay bounded
// and touch nothing outside its memory (run under Wine's heap checking).
#include "../CatalogueTestUtil.h"
#include "common/HostileInputs.h"

#include <string>
#include <vector>

using namespace cataloguetest;

namespace {

using hostile::Lcg;

// An item whose texts are whatever the test says.
struct HostileItem : VyxFile
{
    HostileItem(const std::wstring& name, const std::wstring& info, const std::wstring& note)
    {
        m_fileName = name.c_str();
        m_path = (L"C:\\" + name).c_str();
        m_folder = L"C:";
        m_archivePath = (L"C:\\" + name + L".zip").c_str();
        m_archiveFileName = name.c_str();
        m_infoText = info.c_str();
        SetNoteText(note.c_str());
    }
};

const wchar_t* const kPieces[] = {L"$(Name)",     L"$(N)", L"$(Note)",    L"$(Comment)", L"$(Info)", L"$(I)",
                                  L"$(FileName)", L"$(P)", L"$(ArcPath)", L"$(AFN)",     L"$(Ext)",  L"$(E)",
                                  L"$(",          L")",    L"$(N",        L".",          L"x",       L"$(SpiName)"};

std::wstring RandomText(Lcg& random, int pieces)
{
    std::wstring text;
    for (int i = 0; i < pieces; ++i)
        text += kPieces[random.Next() % (sizeof(kPieces) / sizeof(kPieces[0]))];
    return text;
}

// What the expander may grow to: its limit and one last value.
const int kBound = (1 << 20) + 70000;

} // namespace

TEST(MacroRobustness, RandomSelfReferringTextsExpandToABoundedEnd)
{
    Lcg random{2024};
    for (int round = 0, rounds = hostile::InputsPerReader() / 30; round < rounds; ++round) {
        HostileItem item(RandomText(random, 1 + random.Next() % 12), RandomText(random, random.Next() % 20),
                         RandomText(random, random.Next() % 40));
        CString text = item.ExpandMacros(RandomText(random, 1 + random.Next() % 30).c_str());
        ASSERT_LE(text.GetLength(), kBound) << round;
        EXPECT_LE(item.GetPropertyText(24).GetLength(), kBound);
    }
}

TEST(MacroRobustness, ValuesNeverMultiplyAndRepeatedLongValuesStopAtTheLimit)
{
    // Each name word would become 30 information words, each of them 36 note words, and so on,
    // were inserted values expanded again: they come out as they stand.
    std::wstring name, info, note;
    for (int i = 0; i < 30; ++i)
        name += L"$(Info)";
    for (int i = 0; i < 36; ++i)
        info += L"$(Note)";
    for (int i = 0; i < 250; ++i)
        note += L"$(ArcFileName)";
    HostileItem item(name, info, note + L"$(Note)$(Comment)");
    CString text = item.ExpandMacros(L"$(Name)$(Name)$(Name)");
    EXPECT_EQ(CString((name + name + name).c_str()), text);
    // A template that repeats a long note grows only up to the limit.
    std::wstring repeated;
    for (int i = 0; i < 1000; ++i)
        repeated += L"$(Note)";
    text = item.ExpandMacros(repeated.c_str());
    EXPECT_LE(text.GetLength(), kBound);
    EXPECT_GT(text.GetLength(), 1 << 19);
}
