#pragma once

// The toolkit's side of the stand-in components: which Qt object stands
// behind each of them.  Only the stand-in's own sources and tests that look
// at the real widgets include this.

#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/Menus.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QScrollArea>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

struct TBitmap::Peer {
    QImage image;  // null while the bitmap is empty
};

// The widgets belong to their components, which delete them; a form
// deletes its components before its window.
struct TImage::Peer {
    QWidget* widget = nullptr;
};

namespace vcl {

// The form's font as its description gives it; the tables behind the
// indexes are in Forms.cpp.
struct FormFont {
    std::size_t charset = 0;  // DEFAULT_CHARSET
    QPalette::ColorRole colour = QPalette::WindowText;
    int height = 0;  // negative: the character height without internal leading
    AnsiString name;
    std::vector<std::size_t> styles;
};

}  // namespace vcl

struct TForm::Peer {
    vcl::FormFont font;
    QMainWindow* window = nullptr;
    QScrollArea* scrollArea = nullptr;  // the client area, below the menu bar
    QWidget* client = nullptr;          // the scrolled surface the controls lie on
    // Outer bounds set before the window was first shown, when the window
    // system could not yet tell how large its frame would be.
    std::optional<QRect> unframedBounds;
};

struct TMenuItem::Peer {
    std::unique_ptr<QAction> action;
    std::unique_ptr<QMenu> submenu;  // made when the first item is added
};

struct TMainMenu::Peer {
    QMenuBar* menuBar = nullptr;
};

struct TApplication::Peer {
    std::unique_ptr<QApplication> ownApplication;  // unless a host made one first
};

namespace vcl {

// The library's strings are UTF-8 bytes.
inline QString toQString(const AnsiString& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
inline AnsiString fromQString(const QString& text) { return text.toUtf8().toStdString(); }

// The window a modal dialog belongs over: the active modal one, else the
// active window, else the main form.
QWidget* dialogParent();

// Makes sure the toolkit's application object exists.
void prepareToolkit();

}  // namespace vcl
