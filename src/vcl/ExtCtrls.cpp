#include "vcl/ExtCtrls.h"

#include "vcl/FormReader.h"
#include "vcl/qt/Peers.h"

#include <QPainter>
#include <QPaintEvent>
#include <QWidget>

namespace {

// Paints the picture's bitmap in its own size at the top-left corner and
// nothing else, so the client area's background shows around it.
class ImageWidget : public QWidget {
public:
    explicit ImageWidget(const TImage& image) : image_(image) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        const TBitmap* bitmap = image_.Picture->Graphic;
        if (bitmap == nullptr || bitmap->Empty)
            return;
        QPainter painter(this);
        painter.drawImage(0, 0, bitmap->GetPeer().image);
    }

private:
    const TImage& image_;
};

const PropertyEntry<TImage> kImageProperties[] = {
    {"AutoSize", [](TImage& c, const TFormValue& v, TFormReader&) { c.AutoSize = v.AsBoolean(); }},
};

}  // namespace

TImage::TImage(TComponent* AOwner)
    : TControl(AOwner), peer_(std::make_unique<Peer>()), picture_(std::make_unique<TPicture>())
{
    // The library's default size for a new picture control.
    peer_->widget = new ImageWidget(*this);
    peer_->widget->resize(105, 105);
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { delete peer_->widget; }

TControl::TBounds TImage::GetBounds() const
{
    const QRect r = peer_->widget->geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

void TImage::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    peer_->widget->setGeometry(ALeft, ATop, AWidth, AHeight);
}

void TImage::SetAutoSize(bool Value)
{
    autoSize_ = Value;
    PictureChanged();
}

void TImage::PictureChanged()
{
    // A picture without a width or a height leaves the control's size alone.
    if (autoSize_ && picture_->Width > 0 && picture_->Height > 0)
        SetBounds(Left, Top, picture_->Width, picture_->Height);
    peer_->widget->update();
}

void TImage::Refresh() { peer_->widget->repaint(); }

void TImage::ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader)
{
    if (!ReadFromTable(kImageProperties, *this, PropName, Value, Reader))
        TControl::ReadProperty(PropName, Value, Reader);
}

void TImage::SetParentComponent(TComponent* Parent)
{
    auto* form = dynamic_cast<TForm*>(Parent);
    if (form == nullptr)
        throw Exception("a picture control can only lie on a form");
    peer_->widget->setParent(form->GetPeer().client);
    peer_->widget->show();
}
