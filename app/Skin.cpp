#include "Skin.h"

#include <wincodec.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindRcData(HINSTANCE module, int resourceId) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);  // resources need no freeing
    if (!loaded) return {};
    return {static_cast<const BYTE*>(::LockResource(loaded)), ::SizeofResource(module, found)};
}

ComPtr<IWICBitmapSource> DecodeJpeg(const ResourceBytes& jpeg) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> converted;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(jpeg.data), jpeg.size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(::WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.Get(), &converted))) {
        return nullptr;
    }
    return converted;
}

}  // namespace

Skin::Skin(HINSTANCE module, int resourceId) {
    const ResourceBytes jpeg = FindRcData(module, resourceId);
    if (!jpeg.data) return;
    const ComPtr<IWICBitmapSource> source = DecodeJpeg(jpeg);
    UINT width = 0;
    UINT height = 0;
    if (!source || FAILED(source->GetSize(&width, &height))) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down rows, as WIC gives them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    win32::UniqueGdiObject bitmap{::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0)};
    const UINT stride = width * 4;
    if (!bitmap || FAILED(source->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)))) {
        return;
    }
    brush_.Reset(::CreatePatternBrush(static_cast<HBITMAP>(bitmap.Get())));
    bitmap_ = std::move(bitmap);
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
}

void Skin::Paint(HDC dc) const {
    if (!bitmap_) return;
    const win32::UniqueMemoryDc memory{::CreateCompatibleDC(dc)};
    const win32::SelectedObject selected(memory.Get(), bitmap_.Get());
    ::BitBlt(dc, 0, 0, width_, height_, memory.Get(), 0, 0, SRCCOPY);
}
