#pragma once

#include "vcl/Classes.h"

#include <memory>

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A picture of its own pixels, loaded from a BMP file image.
class TBitmap : public TObject {
    int GetWidth() const;
    int GetHeight() const;
    bool GetEmpty() const;

public:
    TBitmap();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    // Reads a BMP file image (4 or 8 bits per pixel among others) from the
    // stream's position to its end and keeps a copy of its own, so the
    // stream may go as soon as this returns.  A stream that does not begin
    // with "BM", or that is not a readable BMP image, raises
    // EInvalidGraphic and leaves the bitmap as it was.
    virtual void LoadFromStream(TStream* Stream);

    Property<TBitmap, int, &TBitmap::GetWidth> Width{this};
    Property<TBitmap, int, &TBitmap::GetHeight> Height{this};
    Property<TBitmap, bool, &TBitmap::GetEmpty> Empty{this};

    // Called after the bitmap's contents changed.
    TNotifyEvent OnChange;

    struct Peer;  // the toolkit's side, in vcl/qt/Peers.h
    Peer& GetPeer() const { return *peer_; }

private:
    std::unique_ptr<Peer> peer_;
};

// What a picture control shows.  It holds a bitmap once one is asked for.
class TPicture : public TObject {
    TBitmap* GetBitmap();
    TBitmap* GetGraphic() const { return bitmap_.get(); }
    int GetWidth() const;
    int GetHeight() const;

public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // The picture's bitmap; a picture that holds none gets a new, empty one
    // first (and reports that as a change).
    Property<TPicture, TBitmap*, &TPicture::GetBitmap> Bitmap{this};
    // What the picture holds, without making anything: null or the bitmap.
    Property<TPicture, TBitmap*, &TPicture::GetGraphic> Graphic{this};
    Property<TPicture, int, &TPicture::GetWidth> Width{this};
    Property<TPicture, int, &TPicture::GetHeight> Height{this};

    TNotifyEvent OnChange;

private:
    void Changed();

    std::unique_ptr<TBitmap> bitmap_;
};
