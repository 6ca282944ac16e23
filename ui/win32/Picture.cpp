#include "ui/win32/Picture.h"

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "platform/Resources.h"
#include "ui/Geometry.h"

namespace ui::win32 {
namespace {

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (pointer_) pointer_->Release();
    }
    Interface* operator->() const { return pointer_; }
    Interface* Get() const { return pointer_; }
    Interface** Out() { return &pointer_; }

private:
    Interface* pointer_ = nullptr;
};

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<float> bgra;  // premultiplied, four floats per pixel
};

bool Decode(std::span<const uint8_t> png, Pixels& pixels) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()))) ||
        FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data()),
                                            static_cast<DWORD>(png.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) ||
        FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) return false;
    std::vector<uint8_t> bytes(size_t{width} * height * 4);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(bytes.size()),
                                     bytes.data())))
        return false;
    pixels.width = static_cast<int>(width);
    pixels.height = static_cast<int>(height);
    pixels.bgra.assign(bytes.begin(), bytes.end());
    return true;
}

// One axis of an area-averaging resample: every target pixel is the mean of the
// source pixels it covers, weighted by how much of each it covers.
Pixels ResampleAxis(const Pixels& source, int targetLength, bool horizontal) {
    const int sourceLength = horizontal ? source.width : source.height;
    const int lines = horizontal ? source.height : source.width;
    Pixels target;
    target.width = horizontal ? targetLength : source.width;
    target.height = horizontal ? source.height : targetLength;
    target.bgra.assign(size_t(target.width) * target.height * 4, 0.0f);
    const double step = double(sourceLength) / targetLength;
    for (int line = 0; line < lines; ++line)
        for (int t = 0; t < targetLength; ++t) {
            const double from = t * step, to = (t + 1) * step;
            float sum[4] = {};
            double total = 0;
            for (int s = int(from); s < sourceLength && s < to; ++s) {
                const double weight = std::min<double>(s + 1, to) - std::max<double>(s, from);
                const int x = horizontal ? s : line, y = horizontal ? line : s;
                const float* p = &source.bgra[(size_t(y) * source.width + x) * 4];
                for (int c = 0; c < 4; ++c) sum[c] += float(weight) * p[c];
                total += weight;
            }
            const int x = horizontal ? t : line, y = horizontal ? line : t;
            float* q = &target.bgra[(size_t(y) * target.width + x) * 4];
            for (int c = 0; c < 4; ++c) q[c] = total > 0 ? float(sum[c] / total) : 0.0f;
        }
    return target;
}

std::shared_ptr<const Bitmap> ToBitmap(const Pixels& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!handle) return nullptr;
    auto* out = static_cast<uint8_t*>(bits);
    for (size_t i = 0; i < pixels.bgra.size(); ++i)
        out[i] = static_cast<uint8_t>(std::clamp(std::lround(pixels.bgra[i]), 0L, 255L));
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->Handle.Reset(handle);
    bitmap->Width = pixels.width;
    bitmap->Height = pixels.height;
    return bitmap;
}

bool DecodeResource(const rtl::String& name, Pixels& pixels) {
    std::span<const uint8_t> png;
    return platform::RunningProgramResources().Find(name, png) && Decode(png, pixels);
}

std::shared_ptr<const Bitmap> Load(const rtl::String& name, int dpi) {
    Pixels pixels;
    int baseWidth = 0, baseHeight = 0;
    if (dpi > kDesignDpi && DecodeResource(name + u"_2X", pixels)) {
        baseWidth = pixels.width / 2;
        baseHeight = pixels.height / 2;
    } else if (DecodeResource(name, pixels)) {
        baseWidth = pixels.width;
        baseHeight = pixels.height;
    } else {
        return nullptr;
    }
    const int width = std::max(1, ScaleForDpi(baseWidth, dpi));
    const int height = std::max(1, ScaleForDpi(baseHeight, dpi));
    if (width != pixels.width) pixels = ResampleAxis(pixels, width, true);
    if (height != pixels.height) pixels = ResampleAxis(pixels, height, false);
    return ToBitmap(pixels);
}

}  // namespace

std::shared_ptr<const Bitmap> LoadPicture(const rtl::String& name, int dpi) {
    static std::map<std::pair<rtl::String, int>, std::shared_ptr<const Bitmap>> loaded;
    const auto key = std::make_pair(name, dpi);
    const auto found = loaded.find(key);
    if (found != loaded.end()) return found->second;
    return loaded[key] = Load(name, dpi);
}

void DrawPicture(HDC dc, const Bitmap& bitmap, int x, int y) {
    MemoryDc memory(dc);
    Selection selected(memory.Dc(), bitmap.Handle.Get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, bitmap.Width, bitmap.Height, memory.Dc(), 0, 0, bitmap.Width,
               bitmap.Height, blend);
}

}  // namespace ui::win32
