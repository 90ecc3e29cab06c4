#include "image/codecs/ImageFileBase.h"

#include "foundation/VyxGlobalErrorException.h"

#include <cstring>

void VyxMemoryHandle::Release()
{
    if (m_handle) {
        if (m_locked)
            GlobalUnlock(m_handle);
        if (m_owned)
            GlobalFree(m_handle);
    }
    m_handle = nullptr;
    m_locked = FALSE;
    m_owned = FALSE;
}

void VyxMemoryHandle::Alloc(const void* data, SIZE_T length)
{
    if (!data || length == 0) {
        Release();
        return;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length);
    void* to = block ? GlobalLock(block) : nullptr;
    if (!to) {
        if (block)
            GlobalFree(block);
        ThrowGlobalError(VyxGlobalErrorException::Create("ImageFileBase", __LINE__, "VyxMemoryHandle::Alloc"), -2,
                         L"out of memory: %d", static_cast<int>(length));
    }
    std::memcpy(to, data, length);
    GlobalUnlock(block);
    Release();
    m_handle = block;
    m_owned = TRUE;
}

void VyxByteBuffer::Assign(const unsigned char* data, int count)
{
    if (count <= 0) {
        delete[] m_data;
        m_data = nullptr;
        m_capacity = 0;
        return;
    }
    if (m_capacity != count) {
        unsigned char* block = NewBlock(count, "VyxMemoryT<unsigned char>::Alloc", 117);
        delete[] m_data;
        m_data = block;
        m_capacity = count;
    }
    if (data)
        std::memcpy(m_data, data, static_cast<size_t>(count));
}

ImageFileBase::~ImageFileBase() = default;

int ImageFileBase::MapAndCall(int (ImageFileBase::*operation)())
{
    MappedFile file;
    const BYTE* view = m_fileName ? file.Open(m_fileName, 0, 0) : nullptr;
    if (!view)
        return 6;
    int result = 6;
    if (file.GetSize() > m_offset) {
        m_data = view + m_offset;
        m_dataSize = static_cast<DWORD>(file.GetSize() - m_offset);
        result = (this->*operation)();
    }
    // The view goes with the mapping: nothing may keep pointing into it.
    file.Close();
    m_data = nullptr;
    m_dataSize = 0;
    return result;
}

int ImageFileBase::LoadFile()
{
    return MapAndCall(&ImageFileBase::Decode);
}

int ImageFileBase::ReadInfoFile()
{
    return MapAndCall(&ImageFileBase::ReadInfo);
}

int ImageFileBase::Decode()
{
    return -1;
}

int ImageFileBase::SaveToFile()
{
    return -1;
}

int ImageFileBase::SaveToMemory()
{
    return -1;
}

int ImageFileBase::ReadInfo()
{
    return -1;
}

const BYTE* MappedFile::Open(const wchar_t* path, DWORD sizeLimit, int mode)
{
    Close();
    if (!path)
        return nullptr;
    DWORD access = GENERIC_READ, share = 0, disposition = OPEN_EXISTING, protect = PAGE_READONLY;
    DWORD viewAccess = FILE_MAP_READ;
    if (mode == 0) {
        share = FILE_SHARE_READ;
    } else if (mode == 1) {
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
        protect = PAGE_READWRITE;
        viewAccess = FILE_MAP_WRITE;
    }
    HANDLE file = CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    if (mode == 0) {
        DWORD high = 0;
        SetLastError(NO_ERROR);
        DWORD low = GetFileSize(file, &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
            low = high = 0;
        m_sizeLow = low;
        m_sizeHigh = high;
    }
    DWORD mapBytes = 0;
    if (sizeLimit != 0 && (m_sizeHigh != 0 || m_sizeLow > sizeLimit)) {
        mapBytes = sizeLimit;
        m_sizeLow = sizeLimit;
        m_sizeHigh = 0;
    }
    HANDLE mapping = CreateFileMappingW(file, nullptr, protect, 0, mapBytes, nullptr);
    if (mapping) {
        m_view = MapViewOfFile(mapping, viewAccess, 0, 0, mapBytes);
        CloseHandle(mapping);
    }
    CloseHandle(file);
    if (!m_view) {
        m_sizeLow = m_sizeHigh = 0;
        return nullptr;
    }
    m_data = static_cast<BYTE*>(m_view);
    return m_data;
}

void MappedFile::Close()
{
    if (m_view)
        UnmapViewOfFile(m_view);
    if (m_block)
        GlobalFree(m_block);
    m_block = nullptr;
    m_view = nullptr;
    m_data = nullptr;
    m_sizeLow = m_sizeHigh = 0;
}
