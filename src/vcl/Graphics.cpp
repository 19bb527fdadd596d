#include "vcl/Graphics.h"

#include "vcl/qt/Peers.h"

#include <QByteArray>
#include <QImage>

#include <limits>

namespace {

constexpr char kInvalidBitmap[] = "Bitmap image is not valid";

// The bytes from the stream's position to its end, which the read consumes.
// A memory stream's bytes are looked at where they are rather than copied,
// so that loading holds the image only twice: the stream and the bitmap.
QByteArray readRest(TStream& stream)
{
    if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
        const std::int64_t at = memory->Position, size = memory->Size;
        if (at >= size)
            return {};
        memory->Position = size;
        const void* bytes = memory->Memory;
        return QByteArray::fromRawData(static_cast<const char*>(bytes) + at, static_cast<qsizetype>(size - at));
    }
    const std::int64_t rest = stream.Size - stream.Position;
    if (rest <= 0)
        return {};
    if (rest > std::numeric_limits<qsizetype>::max())
        throw EInvalidGraphic(kInvalidBitmap);
    QByteArray bytes(static_cast<qsizetype>(rest), Qt::Uninitialized);
    const std::size_t got = stream.Read(bytes.data(), static_cast<std::size_t>(rest));
    bytes.truncate(static_cast<qsizetype>(got));
    return bytes;
}

}  // namespace

TBitmap::TBitmap() : peer_(std::make_unique<Peer>()) {}

TBitmap::~TBitmap() = default;

int TBitmap::GetWidth() const { return peer_->image.width(); }
int TBitmap::GetHeight() const { return peer_->image.height(); }
bool TBitmap::GetEmpty() const { return peer_->image.isNull(); }

void TBitmap::LoadFromStream(TStream* Stream)
{
    const QByteArray bytes = readRest(*Stream);
    if (!bytes.startsWith("BM"))
        throw EInvalidGraphic(kInvalidBitmap);
    // Qt's reader decodes into storage of its own; 4- and 8-bit images come
    // out indexed, with the file's colour table.
    QImage image = QImage::fromData(bytes, "BMP");
    if (image.isNull())
        throw EInvalidGraphic(kInvalidBitmap);
    peer_->image = std::move(image);
    if (OnChange)
        OnChange(this);
}

TBitmap* TPicture::GetBitmap()
{
    if (!bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->OnChange = [this](TObject*) { Changed(); };
        Changed();
    }
    return bitmap_.get();
}

int TPicture::GetWidth() const { return bitmap_ ? int(bitmap_->Width) : 0; }
int TPicture::GetHeight() const { return bitmap_ ? int(bitmap_->Height) : 0; }

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}
