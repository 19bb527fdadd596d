// PNG through libpng.  A palette picture is read as its indices and keeps
// its palette; every other kind (grey, RGB, with or without alpha, 1 to 16
// bits) is expanded to RGBA and indexed colour by colour.  Gamma and colour
// profile chunks are left alone: the samples are taken as they stand.
//
// libpng reports errors by longjmp.  The one function that calls setjmp
// keeps all its state in objects of its caller, so that the jump skips no
// destructor and leaves no local variable behind in an undefined state.

#include "PictureFormats.h"

#include <cstring>
#include <memory>
#include <new>

#include <png.h>

namespace lunidor {
namespace {

struct PngSource {
    const std::vector<std::uint8_t>* file;
    std::size_t position;
    char message[200];
};

void onPngError(png_structp png, png_const_charp text)
{
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", text);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

void readFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->file->size() - source->position)
        png_error(png, "file ends early");
    std::memcpy(out, source->file->data() + source->position, count);
    source->position += count;
}

class PngHandles {
public:
    explicit PngHandles(PngSource* source)
        : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, source, onPngError, onPngWarning))
    {
        if (png_ != nullptr)
            info_ = png_create_info_struct(png_);
    }
    ~PngHandles() { png_destroy_read_struct(&png_, &info_, nullptr); }
    PngHandles(const PngHandles&) = delete;
    PngHandles& operator=(const PngHandles&) = delete;

    bool ok() const { return png_ != nullptr && info_ != nullptr; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// What the libpng pass hands on: the transformed rows and what they mean.
struct PngImage {
    bool tooLarge = false;
    bool indexed = false;
    bool deep = false;  // 16-bit samples, most significant byte first
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t rowBytes = 0;
    std::unique_ptr<png_byte[]> rows;  // filled by libpng; left uninitialised
    std::vector<png_bytep> rowPointers;
    std::vector<mag::Colour> palette;
    std::vector<std::uint8_t> paletteAlpha;  // tRNS of a palette picture
};

void copyPalette(png_structp png, png_infop info, PngImage* image)
{
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &entries, &count) != 0) {
        for (int i = 0; i < count; ++i)
            image->palette.push_back({entries[i].red, entries[i].green, entries[i].blue});
    }
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) != 0 && alpha != nullptr)
        image->paletteAlpha.assign(alpha, alpha + alphaCount);
}

// Palette pictures: one byte per index.  Everything else: RGBA at 8 or 16
// bits per sample, with an opaque alpha added where the file has none.
void setTransforms(png_structp png, png_infop info, PngImage* image)
{
    const int colourType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    image->indexed = colourType == PNG_COLOR_TYPE_PALETTE;
    if (image->indexed) {
        png_set_packing(png);
        copyPalette(png, info, image);
    } else {
        if (depth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        if ((colourType & PNG_COLOR_MASK_COLOR) == 0)
            png_set_gray_to_rgb(png);
        const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
        if (hasTrns)
            png_set_tRNS_to_alpha(png);
        if ((colourType & PNG_COLOR_MASK_ALPHA) == 0 && !hasTrns)
            png_set_filler(png, 0xFFFF, PNG_FILLER_AFTER);
        image->deep = depth == 16;
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Runs under libpng's error handling: false when libpng gave up, with its
// message in the source.
bool decodePng(const PngHandles& handles, PngSource* source, PngImage* image)
{
    png_structp png = handles.png();
    png_infop info = handles.info();
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, source, readFromMemory);
    // MAG's own bound is tighter than libpng's, and is checked below.
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_read_info(png, info);
    image->width = png_get_image_width(png, info);
    image->height = png_get_image_height(png, info);
    if (image->width > kMaxWidth || image->height > kMaxHeight) {
        image->tooLarge = true;
        return true;
    }
    setTransforms(png, info, image);
    image->rowBytes = png_get_rowbytes(png, info);
    const std::size_t expected = std::size_t{image->width} * (image->indexed ? 1 : image->deep ? 8 : 4);
    if (image->rowBytes != expected)
        png_error(png, "unexpected row layout");
    image->rows.reset(new png_byte[image->rowBytes * image->height]);
    image->rowPointers.resize(image->height);
    for (std::uint32_t y = 0; y < image->height; ++y)
        image->rowPointers[y] = image->rows.get() + std::size_t{y} * image->rowBytes;
    png_read_image(png, image->rowPointers.data());
    return true;
}

PictureStatus indexedPixels(const PngImage& image, IndexedPicture* picture)
{
    if (image.palette.empty())
        return PictureStatus::BadPng;
    const std::size_t count = std::size_t{image.width} * image.height;
    picture->pixels.assign(image.rows.get(), image.rows.get() + count);
    for (std::uint8_t index : picture->pixels) {
        if (index >= image.palette.size())
            return PictureStatus::IndexBeyondPalette;
        if (index < image.paletteAlpha.size() && image.paletteAlpha[index] != 255)
            return PictureStatus::Transparent;
    }
    picture->palette = image.palette;
    return PictureStatus::Ok;
}

// One 8-bit value from a sample of 1 or 2 bytes; a 16-bit sample must be an
// exact 8-bit value (both bytes equal) to be kept without loss.
bool sample8(const png_byte* s, bool deep, std::uint8_t* value)
{
    *value = s[0];
    return !deep || s[0] == s[1];
}

PictureStatus trueColourPixels(const PngImage& image, IndexedPicture* picture)
{
    const std::size_t count = std::size_t{image.width} * image.height;
    const std::size_t step = image.deep ? 2 : 1;
    picture->pixels.resize(count);
    ColourIndexer indexer;
    const png_byte* p = image.rows.get();
    for (std::size_t i = 0; i < count; ++i, p += 4 * step) {
        std::uint8_t rgba[4];
        for (std::size_t c = 0; c < 4; ++c) {
            if (!sample8(p + c * step, image.deep, &rgba[c]))
                return PictureStatus::DeepColour;
        }
        if (rgba[3] != 255)
            return PictureStatus::Transparent;
        if (!indexer.indexOf({rgba[0], rgba[1], rgba[2]}, &picture->pixels[i]))
            return PictureStatus::TooManyColours;
    }
    picture->palette = indexer.takePalette();
    return PictureStatus::Ok;
}

}  // namespace

PictureStatus readPng(const std::vector<std::uint8_t>& file, IndexedPicture* picture, std::string* detail)
{
    PngSource source{&file, 0, ""};
    PngImage image;
    try {
        PngHandles handles(&source);
        if (!handles.ok())
            return PictureStatus::OutOfMemory;
        if (!decodePng(handles, &source, &image)) {
            *detail = source.message;
            return PictureStatus::BadPng;
        }
    } catch (const std::bad_alloc&) {
        return PictureStatus::OutOfMemory;
    }
    if (image.tooLarge)
        return PictureStatus::TooLarge;
    picture->width = image.width;
    picture->height = image.height;
    try {
        return image.indexed ? indexedPixels(image, picture) : trueColourPixels(image, picture);
    } catch (const std::bad_alloc&) {
        return PictureStatus::OutOfMemory;
    }
}

}  // namespace lunidor
