#pragma once

#include "vcl/Controls.h"
#include "vcl/Graphics.h"

#include <memory>

class TForm;

// Shows its picture's bitmap unscaled at its top-left corner.
class TImage : public TControl {
    TPicture* GetPicture() const { return picture_.get(); }
    bool GetAutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value);

public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    Property<TImage, TPicture*, &TImage::GetPicture> Picture{this};
    // On: whenever the picture changes and has a width and a height above
    // zero, the control takes the picture's size.
    Property<TImage, bool, &TImage::GetAutoSize, &TImage::SetAutoSize> AutoSize{this};

    // Repaints at once, without waiting for the next paint request.
    void Refresh();

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader) override;
    // A picture control nested in a form lies in the form's client area.
    void SetParentComponent(TComponent* Parent) override;

    struct Peer;
    Peer& GetPeer() const { return *peer_; }

protected:
    TBounds GetBounds() const override;

private:
    void PictureChanged();

    std::unique_ptr<Peer> peer_;
    std::unique_ptr<TPicture> picture_;
    bool autoSize_ = false;
};
