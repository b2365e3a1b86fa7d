#include "render/frame_image.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace kinoloop {

namespace {

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

void PutU32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU16(std::uint8_t* out, std::uint16_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

// The headers every reader checks first: the type, the information header's size, the dimensions.
struct BmpHeader {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t pixelOffset = 0;
};

render::Result<BmpHeader> ReadHeader(std::span<const std::uint8_t> bytes) {
    using render::Failure;
    if (bytes.size() < bmp::kPixelOffset) return Failure{"the data is too short to be a bitmap"};
    if (bytes[0] != 'B' || bytes[1] != 'M') return Failure{"the data does not start with \"BM\""};
    if (ReadU32(bytes, bmp::kInfoSizeOffset) < bmp::kInfoHeaderSize) {
        return Failure{"the bitmap's information header is not a Windows bitmap header"};
    }
    BmpHeader header;
    const auto width = static_cast<std::int32_t>(ReadU32(bytes, bmp::kWidthOffset));
    const auto height = static_cast<std::int32_t>(ReadU32(bytes, bmp::kHeightOffset));
    if (width <= 0 || width > bmp::kMaxSide || height == 0 || height < -bmp::kMaxSide ||
        height > bmp::kMaxSide) {
        return Failure{"the bitmap's size " + std::to_string(width) + " x " + std::to_string(height) +
                       " is not a picture size"};
    }
    header.width = width;
    header.height = height < 0 ? -height : height;
    header.topDown = height < 0;
    header.bitCount = ReadU16(bytes, bmp::kBitCountOffset);
    header.compression = ReadU32(bytes, bmp::kCompressionOffset);
    header.pixelOffset = ReadU32(bytes, bmp::kPixelOffsetOffset);
    if (ReadU16(bytes, bmp::kPlanesOffset) != 1) return Failure{"the bitmap has more than one plane"};
    if (header.compression != 0) return Failure{"the bitmap is compressed"};
    return header;
}

render::Result<std::span<const std::uint8_t>> PixelSpan(std::span<const std::uint8_t> bytes,
                                                        const BmpHeader& header, std::size_t stride) {
    const std::size_t needed = stride * static_cast<std::size_t>(header.height);
    if (header.pixelOffset < bmp::kPixelOffset || header.pixelOffset > bytes.size() ||
        bytes.size() - header.pixelOffset < needed) {
        return render::Failure{"the bitmap's pixel rows do not fit in its " + std::to_string(bytes.size()) +
                               " bytes"};
    }
    return bytes.subspan(header.pixelOffset, needed);
}

}  // namespace

FrameImage FrameImage::Blank(int width, int height) {
    FrameImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(image.ImageSize(), 0);
    return image;
}

std::size_t BmpFileSize(int width, int height) {
    return bmp::kPixelOffset +
           static_cast<std::size_t>(FrameImage::StrideFor(width)) * static_cast<std::size_t>(height);
}

void WriteBmpHeaders(int width, int height, std::span<std::uint8_t, bmp::kPixelOffset> out) {
    std::memset(out.data(), 0, out.size());
    std::uint8_t* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + bmp::kFileSizeOffset, static_cast<std::uint32_t>(BmpFileSize(width, height)));
    PutU32(p + bmp::kPixelOffsetOffset, static_cast<std::uint32_t>(bmp::kPixelOffset));
    PutU32(p + bmp::kInfoSizeOffset, static_cast<std::uint32_t>(bmp::kInfoHeaderSize));
    PutU32(p + bmp::kWidthOffset, static_cast<std::uint32_t>(width));
    PutU32(p + bmp::kHeightOffset, static_cast<std::uint32_t>(height));
    PutU16(p + bmp::kPlanesOffset, 1);
    PutU16(p + bmp::kBitCountOffset, 24);
    PutU32(p + bmp::kImageSizeOffset,
           static_cast<std::uint32_t>(FrameImage::StrideFor(width)) * static_cast<std::uint32_t>(height));
}

std::vector<std::uint8_t> EncodeBmp(const FrameImage& image) {
    std::vector<std::uint8_t> bytes(bmp::kPixelOffset + image.ImageSize());
    WriteBmpHeaders(image.width, image.height,
                    std::span<std::uint8_t, bmp::kPixelOffset>(bytes.data(), bmp::kPixelOffset));
    std::memcpy(bytes.data() + bmp::kPixelOffset, image.pixels.data(), image.ImageSize());
    return bytes;
}

render::Result<BmpView> ViewBmp24(std::span<const std::uint8_t> bytes) {
    auto header = ReadHeader(bytes);
    if (!header) return render::Failure{header.error()};
    if (header.value().bitCount != 24) {
        return render::Failure{"the bitmap has " + std::to_string(header.value().bitCount) +
                               " bits per pixel, not 24"};
    }
    auto pixels = PixelSpan(bytes, header.value(),
                            static_cast<std::size_t>(FrameImage::StrideFor(header.value().width)));
    if (!pixels) return render::Failure{pixels.error()};
    return BmpView{header.value().width, header.value().height, header.value().topDown, pixels.value()};
}

render::Result<FrameImage> DecodeBmp(std::span<const std::uint8_t> bytes) {
    auto read = ReadHeader(bytes);
    if (!read) return render::Failure{read.error()};
    const BmpHeader& header = read.value();
    if (header.bitCount != 24 && header.bitCount != 32) {
        return render::Failure{"the bitmap has " + std::to_string(header.bitCount) +
                               " bits per pixel; only 24 and 32 are read"};
    }
    const std::size_t bytesPerPixel = static_cast<std::size_t>(header.bitCount / 8);
    const std::size_t sourceStride = (static_cast<std::size_t>(header.width) * header.bitCount + 31) / 32 * 4;
    auto source = PixelSpan(bytes, header, sourceStride);
    if (!source) return render::Failure{source.error()};

    FrameImage image = FrameImage::Blank(header.width, header.height);
    const std::size_t stride = static_cast<std::size_t>(image.Stride());
    for (int row = 0; row < header.height; ++row) {
        // Stored row `row` is picture row `row` from the bottom, or from the top in a top-down file.
        const int fromBottom = header.topDown ? header.height - 1 - row : row;
        const std::uint8_t* in = source.value().data() + static_cast<std::size_t>(row) * sourceStride;
        std::uint8_t* out = image.pixels.data() + static_cast<std::size_t>(fromBottom) * stride;
        if (bytesPerPixel == 3) {
            std::memcpy(out, in, static_cast<std::size_t>(header.width) * 3);
        } else {
            for (int x = 0; x < header.width; ++x) std::memcpy(out + 3 * x, in + 4 * x, 3);
        }
    }
    return image;
}

render::Result<FrameImage> ReadBmpFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return render::Failure{"cannot open " + file.string()};
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto image = DecodeBmp(bytes);
    if (!image) return render::Failure{file.string() + ": " + image.error()};
    return image;
}

render::Status WriteBmpFile(const std::filesystem::path& file, const FrameImage& image) {
    const std::vector<std::uint8_t> bytes = EncodeBmp(image);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return render::Failure{"cannot write " + file.string()};
    return render::Ok();
}

}  // namespace kinoloop
