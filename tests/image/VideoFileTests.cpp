#include "DibTestUtil.h"
#include "ImageSamples.h"

#include "image/DibDepth.h"
#include "image/codecs/VideoFile.h"

#include <gtest/gtest.h>

#include <dshow.h>
#include <qedit.h>

using namespace dibtest;

namespace {

// The AVI file library for the length of a test (the program opens it at start-up).
struct AviLibrary
{
    AviLibrary() { AVIFileInit(); }
    ~AviLibrary() { AVIFileExit(); }
};

std::vector<COLORREF> FrameColours(int n)
{
    std::vector<COLORREF> colours;
    for (int i = 0; i < n; ++i)
        colours.push_back(RGB(i * 20, 255 - i * 20, i * 7));
    return colours;
}

COLORREF FrameColour(HGLOBAL dib)
{
    HGLOBAL wide = MakeDib24(dib);
    COLORREF c = Pixel24(wide, 1, 1);
    if (wide != dib)
        GlobalFree(wide);
    return c;
}

// A media detector that plays back a scripted video, for the parts Wine's detector cannot reach.
class FakeDetector : public IMediaDet
{
public:
    std::vector<GUID> streamTypes = {MEDIATYPE_Audio, MEDIATYPE_Video};
    double length = 10.0;
    bool videoInfo = true;
    LONG width = 4, height = -3;
    double askedTime = -1;
    long current = -1;
    ULONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE get_Filter(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Filter(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_OutputStreams(LONG* n) override
    {
        *n = static_cast<LONG>(streamTypes.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_CurrentStream(LONG* n) override
    {
        *n = current;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_CurrentStream(LONG n) override
    {
        current = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_StreamType(GUID* type) override
    {
        *type = streamTypes.at(static_cast<size_t>(current));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_StreamTypeB(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_StreamLength(double* value) override
    {
        *value = length;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Filename(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Filename(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBitmapBits(double time, LONG* size, char* buffer, LONG w, LONG h) override
    {
        askedTime = time;
        const LONG row = (w * 3 + 3) & ~3;
        if (size)
            *size = static_cast<LONG>(sizeof(BITMAPINFOHEADER)) + row * h;
        if (buffer) {
            BITMAPINFOHEADER header = {};
            header.biSize = sizeof(header);
            header.biWidth = w;
            header.biHeight = h;
            header.biPlanes = 1;
            header.biBitCount = 24;
            std::memcpy(buffer, &header, sizeof(header));
            std::memset(buffer + sizeof(header), 0x40, static_cast<size_t>(row * h));
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE WriteBitmapBits(double, LONG, LONG, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_StreamMediaType(AM_MEDIA_TYPE* type) override
    {
        *type = AM_MEDIA_TYPE{};
        if (!videoInfo)
            return S_OK;
        type->formattype = FORMAT_VideoInfo;
        type->cbFormat = sizeof(VIDEOINFOHEADER);
        type->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
        auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
        *info = VIDEOINFOHEADER{};
        info->bmiHeader.biWidth = width;
        info->bmiHeader.biHeight = height;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSampleGrabber(ISampleGrabber**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FrameRate(double* rate) override
    {
        *rate = 25;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnterBitmapGrabMode(double) override { return E_NOTIMPL; }
};

} // namespace

TEST(VideoFile, FramePositionsFollowPercentOrSeconds)
{
    struct Case
    {
        int position;
        LONG length;
        DWORD rate, scale;
        LONG frame;
    };
    const Case cases[] = {
        {-50, 1000, 25, 1, 500}, {-150, 1000, 25, 1, 500}, {-100, 1000, 25, 1, 1000},  {0, 1000, 25, 1, 0},
        {-1, 1000, 25, 1, 10},   {10, 1000, 25, 1, 250},   {10, 1000, 2997, 100, 290}, {3, 100, 30000, 1001, 87},
        {5, 100, 1, 0, 5},       {4, 100, 1, 2, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.frame, AviFrameForPosition(c.position, c.length, c.rate, c.scale)) << c.position << " " << c.rate;

    EXPECT_DOUBLE_EQ(3.0, VideoSecondsForPosition(3, 10));
    EXPECT_DOUBLE_EQ(5.0, VideoSecondsForPosition(30, 10));
    EXPECT_DOUBLE_EQ(2.5, VideoSecondsForPosition(-25, 10));
    EXPECT_DOUBLE_EQ(5.0, VideoSecondsForPosition(-150, 10));
    EXPECT_DOUBLE_EQ(0.0, VideoSecondsForPosition(0, 10));
}

TEST(VideoFile, AviMadeByTheTestReadsFrameByFrame)
{
    AviLibrary library;
    ScratchFolder folder;
    std::wstring path = folder.File(L"ten.avi");
    std::vector<COLORREF> colours = FrameColours(10);
    ASSERT_TRUE(samples::MakeAvi(path, 8, 6, colours, 2, 1));
    EXPECT_EQ(10, GetAviLength(path.c_str()));
    // Position 2 s at 2 frames a second is frame 4; -50 % is frame 5; 0 the first frame.
    struct Case
    {
        int position;
        int frame;
    };
    for (Case c : {Case{0, 0}, Case{2, 4}, Case{-50, 5}, Case{-150, 5}, Case{-90, 9}}) {
        Dib frame(GetAviFrame(path.c_str(), c.position));
        ASSERT_TRUE(frame) << c.position;
        BITMAPINFOHEADER h = Header(frame);
        EXPECT_EQ(8, h.biWidth);
        EXPECT_EQ(6, h.biHeight);
        EXPECT_EQ(colours[c.frame], FrameColour(frame)) << c.position;
    }
    // Past the last frame there is no key frame to read.
    EXPECT_EQ(nullptr, GetAviFrame(path.c_str(), 6));
    // A frame asked for by its number is that frame, up to the last one.
    for (int number : {0, 6, 9}) {
        Dib frame(GetAviFrameNumber(path.c_str(), number));
        ASSERT_TRUE(frame) << number;
        EXPECT_EQ(colours[number], FrameColour(frame)) << number;
    }
    EXPECT_EQ(nullptr, GetAviFrameNumber(path.c_str(), 10));
    EXPECT_EQ(nullptr, GetAviFrameNumber(path.c_str(), -1));

    AVISTREAMINFOW info = {};
    EXPECT_EQ(0, GetAviInfo(path.c_str(), &info));
    EXPECT_EQ(2u, info.dwRate);
    EXPECT_EQ(1u, info.dwScale);

    AviFile avi;
    avi.m_fileName = path.c_str();
    ASSERT_EQ(0, avi.ReadInfoFile());
    EXPECT_EQ(8, avi.m_width);
    EXPECT_EQ(6, avi.m_height);
    EXPECT_DOUBLE_EQ(1.0, avi.m_timeScale);
    avi.m_position = -30;
    ASSERT_EQ(0, avi.LoadFile());
    Dib frame(avi.m_dib);
    EXPECT_EQ(colours[3], FrameColour(frame));
}

TEST(VideoFile, FramesSnapToTheNextKeyFrame)
{
    AviLibrary library;
    ScratchFolder folder;
    std::wstring path = folder.File(L"keys.avi");
    std::vector<COLORREF> colours = FrameColours(12);
    ASSERT_TRUE(samples::MakeAvi(path, 4, 4, colours, 1, 1, 4));
    EXPECT_EQ(8, FindAviKeyFrameNext(path.c_str(), 5));
    EXPECT_EQ(4, FindAviKeyFramePrev(path.c_str(), 5));
    EXPECT_EQ(0, FindAviKeyFramePrev(path.c_str(), 4));
    Dib middle(GetAviFrame(path.c_str(), -50)); // frame 6: the key frame at or after it is 8
    ASSERT_TRUE(middle);
    EXPECT_EQ(colours[8], FrameColour(middle));
}

TEST(VideoFile, AudioOnlyOrMissingAviGivesNoFrame)
{
    AviLibrary library;
    ScratchFolder folder;
    std::wstring path = folder.File(L"sound.avi");
    ASSERT_TRUE(samples::MakeAudioOnlyAvi(path));
    AviFile avi;
    avi.m_fileName = path.c_str();
    EXPECT_EQ(3, avi.LoadFile());
    EXPECT_EQ(nullptr, avi.m_dib);
    EXPECT_EQ(0, GetAviLength(path.c_str()));

    std::wstring missing = folder.File(L"none.avi");
    AviFile none;
    none.m_fileName = missing.c_str();
    EXPECT_EQ(3, none.LoadFile());
    EXPECT_EQ(2, none.ReadInfoFile());
}

TEST(VideoFile, MediaDetectorFrameComesFromTheFirstVideoStream)
{
    FakeDetector fake;
    fake.AddRef();
    Dib frame(GrabVideoFrameWith(&fake, L"x.mpg", -20));
    ASSERT_TRUE(frame);
    EXPECT_EQ(1, fake.current);
    EXPECT_DOUBLE_EQ(2.0, fake.askedTime);
    BITMAPINFOHEADER h = Header(frame);
    EXPECT_EQ(4, h.biWidth);
    EXPECT_EQ(3, h.biHeight); // the absolute value of the format's height
    EXPECT_EQ(RGB(0x40, 0x40, 0x40), Pixel24(frame, 0, 0));
    EXPECT_EQ(1u, fake.refs); // released once
}

TEST(VideoFile, MediaDetectorRefusesEmptyLengthsFormatsAndStreams)
{
    FakeDetector zeroLength;
    zeroLength.AddRef();
    zeroLength.length = 0;
    EXPECT_EQ(nullptr, GrabVideoFrameWith(&zeroLength, L"x.mpg", 0));
    EXPECT_EQ(-1.0, zeroLength.askedTime);

    FakeDetector noFormat;
    noFormat.AddRef();
    noFormat.videoInfo = false;
    EXPECT_EQ(nullptr, GrabVideoFrameWith(&noFormat, L"x.mpg", 0));

    FakeDetector audioOnly;
    audioOnly.AddRef();
    audioOnly.streamTypes = {MEDIATYPE_Audio};
    EXPECT_EQ(nullptr, GrabVideoFrameWith(&audioOnly, L"x.mpg", 0));
    EXPECT_EQ(nullptr, GrabVideoFrameWith(nullptr, L"x.mpg", 0));
}

TEST(VideoFile, MediaDetectorFileFailsCleanlyWhereThePlatformCannotGrab)
{
    // Wine's detector cannot open files without its 32-bit media plug-ins, and has no frame
    // grabbing even with them: the reader then reports -1 with no picture.
    AviLibrary library;
    ScratchFolder folder;
    std::wstring path = folder.File(L"clip.avi");
    ASSERT_TRUE(samples::MakeAvi(path, 8, 6, FrameColours(4), 2, 1));
    DswFile video;
    video.m_fileName = path.c_str();
    video.m_position = 1;
    int result = video.LoadFile();
    if (result == 0) {
        Dib frame(video.m_dib);
        EXPECT_EQ(8, Header(frame).biWidth);
    } else {
        EXPECT_EQ(-1, result);
        EXPECT_EQ(nullptr, video.m_dib);
    }
    int info = video.ReadInfoFile();
    EXPECT_TRUE(info == 0 || info == -1);
    std::wstring missing = folder.File(L"none.mpg");
    DswFile none;
    none.m_fileName = missing.c_str();
    EXPECT_EQ(-1, none.LoadFile());
    EXPECT_EQ(-1, none.ReadInfoFile());
    EXPECT_EQ(0.0, GetVideoLength(missing.c_str()));
}

TEST(VideoFile, FrameRateComesFromTheMediaDetectorAndIsZeroWithoutOne)
{
    AviLibrary library;
    ScratchFolder folder;
    const std::wstring path = folder.File(L"clip.avi");
    ASSERT_TRUE(samples::MakeAvi(path, 8, 6, FrameColours(4), 5, 2));
    // Wine's detector opens no file without its 32-bit media plug-ins: then the rate is 0.
    const double rate = GetVideoFrameRate(path.c_str());
    if (rate != 0.0) {
        EXPECT_DOUBLE_EQ(2.5, rate);
    }
    EXPECT_EQ(0.0, GetVideoFrameRate(folder.File(L"none.avi").c_str()));
    EXPECT_EQ(0.0, GetVideoFrameRate(nullptr));
}

TEST(VideoFile, TheGuardEndsFaultsOfTheAviLibraryOnly)
{
    AVIFileInit();
    // A stream pointer the library reads through faults inside the library: the call ends.
    EXPECT_FALSE(RunAviGuarded(
        [](void*) {
            AVISTREAMINFOW info;
            AVIStreamInfoW(reinterpret_cast<PAVISTREAM>(16), &info, sizeof info);
        },
        nullptr));
    AVIFileExit();
    // A fault the system takes and handles itself goes to its own handler, guarded or not.
    static BOOL bad = FALSE;
    EXPECT_TRUE(RunAviGuarded([](void*) { bad = IsBadReadPtr(reinterpret_cast<void*>(16), 1); }, nullptr));
    EXPECT_TRUE(bad);
}
