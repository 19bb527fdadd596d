// The converter's one entry point for the viewer: both passes of the BMP
// conversion, then the image handed to a bitmap through a memory stream.

#include "mag/M2BC.h"
#include "vcl/Classes.h"
#include "vcl/Dialogs.h"
#include "vcl/Graphics.h"

#include <memory>
#include <new>

bool TM2BC::LoadMagToBitmap(AnsiString path, TBitmap* bitmap)
{
    const std::uint32_t size = MMAG_GetBmpSize(path.c_str());
    if (size == 0)
        return false;
    std::unique_ptr<std::uint8_t[]> image(new (std::nothrow) std::uint8_t[size]);
    if (!image)
        return false;
    if (MMAG_MagtoBmp(path.c_str(), image.get(), size) != 0) {
        image.reset();
        MessageDlg("Failed by MMAG_MagtoBmp", mtWarning, TMsgDlgButtons() << mbOK, 0);
        return false;
    }
    // At most two copies of the image live at once: the buffer and the
    // stream, then the stream and the bitmap's own.  The stream goes on
    // every path, also when writing or loading throws.
    const auto stream = std::make_unique<TMemoryStream>();
    stream->WriteBuffer(image.get(), size);
    image.reset();
    stream->Position = 0;
    bitmap->LoadFromStream(stream.get());
    return true;
}
