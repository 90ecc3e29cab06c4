#include "image/codecs/VideoFile.h"

#include "foundation/ComScope.h"

#include "image/DibCore.h"
#include "image/DibValidate.h"

#include <dshow.h>
#include <qedit.h>

#include <csetjmp>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <cstring>

namespace {

constexpr DWORD kFindNextKey = FIND_KEY | FIND_NEXT; // 0x11
constexpr DWORD kFindPrevKey = FIND_KEY | FIND_PREV; // 0x14

// The AVI file library parses the file itself and can fault on a damaged one. A fault inside
// that library (or the frame decompressor it calls) during a guarded call, on the guarding
// thread, ends the call like an error instead of ending the program: a vectored handler, present
// only while a call is guarded, jumps back to the guard (the runtime's longjmp unwinds the
// platform's own handler frames). Any other fault goes on to its own handlers.
thread_local std::jmp_buf* t_faultTarget = nullptr;

bool InAviLibrary(const void* address)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module))
        return false;
    return module && (module == GetModuleHandleW(L"avifil32.dll") || module == GetModuleHandleW(L"msvfw32.dll"));
}

LONG CALLBACK FaultHandler(EXCEPTION_POINTERS* info)
{
    switch (info->ExceptionRecord->ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_PRIV_INSTRUCTION:
        if (std::jmp_buf* target = t_faultTarget) {
            if (InAviLibrary(info->ExceptionRecord->ExceptionAddress)) {
                t_faultTarget = nullptr;
                std::longjmp(*target, 1);
            }
        }
        break;
    default:
        break;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// The handler is registered while a call is guarded, on any thread (counted).
class FaultHandlerUse
{
public:
    FaultHandlerUse()
    {
        EnterCriticalSection(&Lock());
        if (s_users++ == 0)
            s_handler = AddVectoredExceptionHandler(1, FaultHandler);
        LeaveCriticalSection(&Lock());
    }
    ~FaultHandlerUse()
    {
        EnterCriticalSection(&Lock());
        if (--s_users == 0 && s_handler) {
            RemoveVectoredExceptionHandler(s_handler);
            s_handler = nullptr;
        }
        LeaveCriticalSection(&Lock());
    }
    FaultHandlerUse(const FaultHandlerUse&) = delete;
    FaultHandlerUse& operator=(const FaultHandlerUse&) = delete;

private:
    static CRITICAL_SECTION& Lock()
    {
        static CRITICAL_SECTION lock = [] {
            CRITICAL_SECTION made;
            InitializeCriticalSection(&made);
            return made;
        }();
        return lock;
    }
    static inline int s_users = 0;
    static inline PVOID s_handler = nullptr;
};

} // namespace

bool RunAviGuarded(void (*call)(void*), void* context)
{
    FaultHandlerUse use;
    std::jmp_buf target;
    std::jmp_buf* outer = t_faultTarget;
    if (setjmp(target) != 0) {
        t_faultTarget = outer;
        return false;
    }
    t_faultTarget = &target;
    call(context);
    t_faultTarget = outer;
    return true;
}

namespace {

// The library objects of one request, where the clean-up after a fault can still find them.
struct AviSession
{
    const wchar_t* path;
    AviFrameRequest* request;
    PAVIFILE file;
    PAVISTREAM stream;
    PGETFRAME reader;
    AVIFILEINFOW info;
    HRESULT infoResult;
};

void ReleaseSession(void* context)
{
    auto* session = static_cast<AviSession*>(context);
    if (session->reader)
        AVIStreamGetFrameClose(session->reader);
    session->reader = nullptr;
    if (session->stream)
        AVIStreamRelease(session->stream);
    session->stream = nullptr;
    if (session->file)
        AVIFileRelease(session->file);
    session->file = nullptr;
}

// After a fault the objects may be broken: releasing them is guarded too, and abandoned if it faults.
void EndSession(AviSession* session)
{
    if (!RunAviGuarded(ReleaseSession, session))
        *session = AviSession{};
}

// A copy of the reader's frame in a block of our own, through the validation point.
HGLOBAL CopyFrame(const BITMAPINFOHEADER* frame)
{
    if (!frame || frame->biSize < sizeof(BITMAPINFOHEADER) || frame->biSize > 124)
        return nullptr;
    DWORD total = DibTotalSize(frame);
    if (total <= frame->biSize || total >= kMaxDibBytes)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, total);
    void* to = block ? GlobalLock(block) : nullptr;
    if (!to) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    std::memcpy(to, frame, total);
    GlobalUnlock(block);
    return AdoptDib(block);
}

LONG_PTR ReadFrame(AviSession* session, int position)
{
    PAVISTREAM stream = session->stream;
    session->reader = AVIStreamGetFrameOpen(stream, nullptr);
    // No decompressor for the stream's format.
    if (!session->reader)
        return 0;
    AVISTREAMINFOW info = {};
    AVIStreamInfoW(stream, &info, sizeof(info));
    LONG frame = AviFrameForPosition(position, AVIStreamLength(stream), info.dwRate, info.dwScale);
    LONG key = AVIStreamFindSample(stream, AVIStreamStart(stream) + frame, kFindNextKey);
    HGLOBAL dib = nullptr;
    if (key >= 0)
        dib = CopyFrame(static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(session->reader, key)));
    AVIStreamGetFrameClose(session->reader);
    session->reader = nullptr;
    return reinterpret_cast<LONG_PTR>(dib);
}

// The frame with that number counted from the stream's start, not moved to a key frame.
LONG_PTR ReadNumberedFrame(AviSession* session, LONG frame)
{
    PAVISTREAM stream = session->stream;
    if (frame < 0 || frame >= AVIStreamLength(stream))
        return 0;
    session->reader = AVIStreamGetFrameOpen(stream, nullptr);
    if (!session->reader)
        return 0;
    HGLOBAL dib = CopyFrame(
        static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(session->reader, AVIStreamStart(stream) + frame)));
    AVIStreamGetFrameClose(session->reader);
    session->reader = nullptr;
    return reinterpret_cast<LONG_PTR>(dib);
}

LONG_PTR Serve(AviSession* session)
{
    PAVISTREAM stream = session->stream;
    AviFrameRequest* request = session->request;
    switch (request->kind) {
    case 0:
        return ReadFrame(session, static_cast<int>(request->value));
    case 1:
        return AVIStreamLength(stream);
    case 2:
        return AVIStreamFindSample(stream, static_cast<LONG>(request->value) - 1, kFindPrevKey);
    case 3:
        return AVIStreamFindSample(stream, static_cast<LONG>(request->value) + 1, kFindNextKey);
    case 4: {
        auto* info = reinterpret_cast<AVISTREAMINFOW*>(request->value);
        if (info)
            AVIStreamInfoW(stream, info, sizeof(AVISTREAMINFOW));
        return 0;
    }
    case 5:
        return ReadNumberedFrame(session, static_cast<LONG>(request->value));
    default:
        return 0;
    }
}

// Opens the file and reads its information.
void OpenAvi(void* context)
{
    auto* session = static_cast<AviSession*>(context);
    session->infoResult = E_FAIL;
    if (AVIFileOpenW(&session->file, session->path, OF_READ | OF_SHARE_DENY_WRITE, nullptr) != 0)
        session->file = nullptr;
    if (session->file)
        session->infoResult = AVIFileInfoW(session->file, &session->info, sizeof(session->info));
}

// The first video stream serves the request.
void ServeRequest(void* context)
{
    auto* session = static_cast<AviSession*>(context);
    OpenAvi(session);
    if (!session->file || session->infoResult != 0)
        return;
    for (DWORD i = 0; i < session->info.dwStreams; ++i) {
        if (AVIFileGetStream(session->file, &session->stream, 0, static_cast<LONG>(i)) != 0 || !session->stream) {
            session->stream = nullptr;
            continue;
        }
        AVISTREAMINFOW streamInfo = {};
        bool video = AVIStreamInfoW(session->stream, &streamInfo, sizeof(streamInfo)) == 0 &&
                     streamInfo.fccType == streamtypeVIDEO;
        if (video)
            session->request->result = Serve(session);
        AVIStreamRelease(session->stream);
        session->stream = nullptr;
        if (video)
            break;
    }
}

void FreeMediaType(AM_MEDIA_TYPE* type)
{
    if (type->cbFormat && type->pbFormat)
        CoTaskMemFree(type->pbFormat);
    type->pbFormat = nullptr;
    type->cbFormat = 0;
    if (type->pUnk)
        type->pUnk->Release();
    type->pUnk = nullptr;
}

IMediaDet* CreateDetector()
{
    IMediaDet* detector = nullptr;
    if (FAILED(
            CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_ALL, IID_IMediaDet, reinterpret_cast<void**>(&detector))))
        return nullptr;
    return detector;
}

// Opens the file in the detector and selects its first video stream.
bool SelectVideoStream(IMediaDet* detector, const wchar_t* path)
{
    BSTR name = SysAllocString(path);
    if (!name)
        return false;
    HRESULT hr = detector->put_Filename(name);
    SysFreeString(name);
    long streams = 0;
    if (FAILED(hr) || FAILED(detector->get_OutputStreams(&streams)))
        return false;
    for (long i = 0; i < streams; ++i) {
        GUID type = GUID_NULL;
        if (SUCCEEDED(detector->put_CurrentStream(i)) && SUCCEEDED(detector->get_StreamType(&type)) &&
            IsEqualGUID(type, MEDIATYPE_Video))
            return true;
    }
    return false;
}

// Width and height from a video-information format; 0 x 0 for any other format.
void FrameSize(IMediaDet* detector, LONG* width, LONG* height, DWORD* compression)
{
    *width = *height = 0;
    AM_MEDIA_TYPE type = {};
    if (FAILED(detector->get_StreamMediaType(&type)))
        return;
    if (IsEqualGUID(type.formattype, FORMAT_VideoInfo) && type.cbFormat >= 88 && type.pbFormat) {
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
        *width = info->bmiHeader.biWidth;
        *height = std::labs(info->bmiHeader.biHeight);
        if (compression)
            *compression = info->bmiHeader.biCompression;
    }
    FreeMediaType(&type);
}

} // namespace

LONG AviFrameForPosition(int position, LONG length, DWORD rate, DWORD scale)
{
    if (position < 0) {
        if (position < -100)
            position = -50;
        return static_cast<LONG>(static_cast<LONGLONG>(length) * -position / 100);
    }
    LONGLONG perSecond = scale ? static_cast<LONGLONG>(std::trunc(static_cast<double>(rate) / scale)) : 1;
    LONGLONG frame = position * perSecond;
    return frame > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<LONG>(frame);
}

double VideoSecondsForPosition(int position, double length)
{
    if (position > 0)
        return position > length ? length * 0.5 : position;
    if (position < 0)
        return (-position > 100 ? 50 : -position) * length / 100.0;
    return 0;
}

namespace {

std::once_flag s_aviStart;
bool s_aviStarted = false;

} // namespace

void StartAviFileLibrary()
{
    std::call_once(s_aviStart, [] {
        AVIFileInit();
        s_aviStarted = true;
    });
}

void EndAviFileLibrary()
{
    if (!s_aviStarted)
        return;
    s_aviStarted = false;
    AVIFileExit();
}

LONG_PTR ReadAviFrame(const wchar_t* path, AviFrameRequest* request)
{
    request->result = 0;
    if (!path)
        return 0;
    StartAviFileLibrary();
    AviSession session = {};
    session.path = path;
    session.request = request;
    // After a fault the result reached so far stands.
    RunAviGuarded(ServeRequest, &session);
    EndSession(&session);
    return request->result;
}

HGLOBAL GetAviFrame(const wchar_t* path, int position)
{
    AviFrameRequest request = {0, position, 0};
    return reinterpret_cast<HGLOBAL>(ReadAviFrame(path, &request));
}

HGLOBAL GetAviFrameNumber(const wchar_t* path, LONG frame)
{
    AviFrameRequest request = {5, frame, 0};
    return reinterpret_cast<HGLOBAL>(ReadAviFrame(path, &request));
}

LONG GetAviLength(const wchar_t* path)
{
    AviFrameRequest request = {1, 0, 0};
    return static_cast<LONG>(ReadAviFrame(path, &request));
}

LONG FindAviKeyFramePrev(const wchar_t* path, LONG frame)
{
    AviFrameRequest request = {2, frame, 0};
    return static_cast<LONG>(ReadAviFrame(path, &request));
}

LONG FindAviKeyFrameNext(const wchar_t* path, LONG frame)
{
    AviFrameRequest request = {3, frame, 0};
    return static_cast<LONG>(ReadAviFrame(path, &request));
}

LONG_PTR GetAviInfo(const wchar_t* path, AVISTREAMINFOW* info)
{
    AviFrameRequest request = {4, reinterpret_cast<LONG_PTR>(info), 0};
    return ReadAviFrame(path, &request);
}

HGLOBAL GrabVideoFrameWith(IMediaDet* detector, const wchar_t* path, int position)
{
    if (!detector)
        return nullptr;
    HGLOBAL block = nullptr;
    double length = 0;
    if (path && SelectVideoStream(detector, path) && SUCCEEDED(detector->get_StreamLength(&length)) && length > 0) {
        LONG width, height;
        FrameSize(detector, &width, &height, nullptr);
        double seconds = VideoSecondsForPosition(position, length);
        long size = 0;
        if (width > 0 && height > 0 && seconds <= length &&
            SUCCEEDED(detector->GetBitmapBits(seconds, &size, nullptr, width, height)) && size > 0 &&
            static_cast<ULONGLONG>(size) < kMaxDibBytes) {
            block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size) + 128);
            char* buffer = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
            bool fetched = buffer && SUCCEEDED(detector->GetBitmapBits(seconds, nullptr, buffer, width, height));
            if (buffer)
                GlobalUnlock(block);
            if (!fetched && block) {
                GlobalFree(block);
                block = nullptr;
            }
        }
    }
    detector->Release();
    return block ? AdoptDib(block) : nullptr;
}

HGLOBAL GrabVideoFrame(const wchar_t* path, int position)
{
    return GrabVideoFrameWith(CreateDetector(), path, position);
}

namespace {

// One figure of the file's first video stream from the media detector; 0 when it cannot be read.
double AskVideoStream(const wchar_t* path, HRESULT (STDMETHODCALLTYPE IMediaDet::*question)(double*))
{
    ComScope com;
    IMediaDet* detector = CreateDetector();
    double value = 0;
    if (detector && path && SelectVideoStream(detector, path) && FAILED((detector->*question)(&value)))
        value = 0;
    if (detector)
        detector->Release();
    return value;
}

} // namespace

double GetVideoLength(const wchar_t* path)
{
    return AskVideoStream(path, &IMediaDet::get_StreamLength);
}

double GetVideoFrameRate(const wchar_t* path)
{
    return AskVideoStream(path, &IMediaDet::get_FrameRate);
}

int AviFile::LoadFile()
{
    m_dib = GetAviFrame(m_fileName, m_position);
    return m_dib ? 0 : 3;
}

int AviFile::ReadInfoFile()
{
    if (!m_fileName)
        return 2;
    AviSession session = {};
    session.path = m_fileName;
    bool completed = RunAviGuarded(OpenAvi, &session);
    EndSession(&session);
    if (!completed || session.infoResult != 0)
        return 2;
    m_width = static_cast<LONG>(session.info.dwWidth);
    m_height = static_cast<LONG>(session.info.dwHeight);
    m_timeScale = static_cast<double>(session.info.dwScale);
    return 0;
}

int DswFile::LoadFile()
{
    ComScope com;
    m_dib = GrabVideoFrame(m_fileName, m_position);
    return m_dib ? 0 : -1;
}

int DswFile::ReadInfoFile()
{
    ComScope com;
    IMediaDet* detector = CreateDetector();
    if (!detector)
        return -1;
    int result = -1;
    double length = 0;
    if (m_fileName && SelectVideoStream(detector, m_fileName) && SUCCEEDED(detector->get_StreamLength(&length))) {
        LONG width, height;
        DWORD compression = 0;
        FrameSize(detector, &width, &height, &compression);
        m_width = width;
        m_height = height;
        m_compression = compression;
        m_length = length;
        result = 0;
    }
    detector->Release();
    return result;
}
