#include "vcl/Forms.h"

#include "vcl/FormReader.h"
#include "vcl/Menus.h"
#include "vcl/qt/Peers.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {

// The window of a form.  Closing the main form ends the application, as
// File > Exit does.
class FormWindow : public QMainWindow {
public:
    explicit FormWindow(TForm& form) : form_(form) {}

protected:
    bool event(QEvent* event) override
    {
        const bool handled = QMainWindow::event(event);
        // The window system tells the frame's size some time after the window
        // shows; then the outer size set before can be met.  (Qt itself keeps
        // the frame at the position asked for.)
        const QEvent::Type type = event->type();
        if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)
            fitFrameOnceKnown();
        return handled;
    }

    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        if (Application->MainForm() == &form_)
            Application->Terminate();
    }

private:
    void fitFrameOnceKnown()
    {
        std::optional<QRect>& pending = form_.GetPeer().unframedBounds;
        const QSize frame = frameGeometry().size() - size();
        if (!pending || !isVisible() || frame.isNull())
            return;
        const QSize outer = std::exchange(pending, std::nullopt)->size();
        resize(std::max(0, outer.width() - frame.width()), std::max(0, outer.height() - frame.height()));
    }

    TForm& form_;
};

// The surface the controls lie on.  It keeps itself as large as the
// controls reach, so that the scroll area around it shows scroll bars for
// whatever part no longer fits the window.
class ClientSurface : public QWidget {
protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                child->installEventFilter(this);
        }
        return QWidget::event(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show)
            fitToControls();
        return QWidget::eventFilter(watched, event);
    }

private:
    void fitToControls()
    {
        QSize extent(0, 0);
        for (QObject* object : children()) {
            if (auto* child = qobject_cast<QWidget*>(object))
                extent = extent.expandedTo(QSize(child->geometry().right() + 1, child->geometry().bottom() + 1));
        }
        resize(extent);
    }
};

// A client area that may be made as small as the user likes: the scroll
// bars take over when the controls no longer fit.
class ClientArea : public QScrollArea {
public:
    QSize minimumSizeHint() const override { return {0, 0}; }
};

// Font.Charset: the writing system a font must cover, for the fallback
// where the form's own font is missing.
struct CharsetKind {
    const char* name;
    QFontDatabase::WritingSystem writingSystem;
};

constexpr std::array<CharsetKind, 2> kCharsets = {{
    /* DEFAULT_CHARSET */ {"DEFAULT_CHARSET", QFontDatabase::Any},
    /* SHIFTJIS_CHARSET */ {"SHIFTJIS_CHARSET", QFontDatabase::Japanese},
}};

// Font.Color: the system colours a form's font may take.
struct SystemColour {
    const char* name;
    QPalette::ColorRole role;
};

constexpr std::array<SystemColour, 1> kSystemColours = {{
    {"clWindowText", QPalette::WindowText},
}};

// Font.Style: how each style changes a font.
struct FontStyle {
    const char* name;
    void (*apply)(QFont& font);
};

const std::array<FontStyle, 4> kFontStyles = {{
    {"fsBold", [](QFont& f) { f.setBold(true); }},
    {"fsItalic", [](QFont& f) { f.setItalic(true); }},
    {"fsUnderline", [](QFont& f) { f.setUnderline(true); }},
    {"fsStrikeOut", [](QFont& f) { f.setStrikeOut(true); }},
}};

template <class Table>
std::size_t indexByName(const Table& table, const AnsiString& name, const char* what)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        if (name == table[i].name)
            return i;
    throw Exception(name + " is not " + what);
}

// A family that covers the writing system, Noto's Japanese face first
// where it is installed.
QString fallbackFamily(QFontDatabase::WritingSystem writingSystem)
{
    if (writingSystem == QFontDatabase::Any)
        return {};
    const QStringList families = QFontDatabase::families(writingSystem);
    for (const QString& preferred : {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP")})
        if (families.contains(preferred))
            return preferred;
    return families.value(0);
}

QFont toQFont(const vcl::FormFont& font, const QFont& base)
{
    QFont result = base;
    QStringList families;
    if (!font.name.empty())
        families << vcl::toQString(font.name);
    const QString fallback = fallbackFamily(kCharsets.at(font.charset).writingSystem);
    if (!fallback.isEmpty())
        families << fallback;
    if (!families.isEmpty())
        result.setFamilies(families);
    // Qt's pixel size is the em height, which a negative height asks for; a
    // positive one (the cell height) is taken as near enough.
    if (font.height != 0)
        result.setPixelSize(std::abs(font.height));
    for (std::size_t style : font.styles)
        kFontStyles.at(style).apply(result);
    return result;
}

vcl::FormFont& fontOf(TForm& form) { return form.GetPeer().font; }



void applyFont(TForm& form)
{
    QMainWindow& window = *form.GetPeer().window;
    const vcl::FormFont& font = fontOf(form);
    window.setFont(toQFont(font, QApplication::font(&window)));
    QPalette palette = window.palette();
    palette.setColor(QPalette::WindowText, QApplication::palette(&window).color(font.colour));
    window.setPalette(palette);
}

const PropertyEntry<TForm> kFormProperties[] = {
    {"Caption", [](TForm& c, const TFormValue& v, TFormReader&) { c.Caption = v.AsString(); }},
    {"Menu",
     [](TForm& c, const TFormValue& v, TFormReader& r) {
         r.FixupReference(v.AsIdentifier(), [&c](TComponent* component) {
             auto* menu = dynamic_cast<TMainMenu*>(component);
             if (menu == nullptr)
                 throw Exception(component->Name + " is not a TMainMenu");
             c.Menu = menu;
         });
     }},
    {"PixelsPerInch", [](TForm& c, const TFormValue& v, TFormReader&) { c.PixelsPerInch = v.AsInteger(); }},
    {"TextHeight", [](TForm& c, const TFormValue& v, TFormReader&) { c.TextHeight = v.AsInteger(); }},
    {"Font.Charset",
     [](TForm& c, const TFormValue& v, TFormReader&) {
         fontOf(c).charset = indexByName(kCharsets, v.AsIdentifier(), "a charset");
         applyFont(c);
     }},
    {"Font.Color",
     [](TForm& c, const TFormValue& v, TFormReader&) {
         fontOf(c).colour = kSystemColours.at(indexByName(kSystemColours, v.AsIdentifier(), "a colour")).role;
         applyFont(c);
     }},
    {"Font.Height",
     [](TForm& c, const TFormValue& v, TFormReader&) {
         fontOf(c).height = v.AsInteger();
         applyFont(c);
     }},
    {"Font.Name",
     [](TForm& c, const TFormValue& v, TFormReader&) {
         fontOf(c).name = v.AsString();
         applyFont(c);
     }},
    {"Font.Style",
     [](TForm& c, const TFormValue& v, TFormReader&) {
         std::vector<std::size_t> styles;
         for (const AnsiString& name : v.AsSet())
             styles.push_back(indexByName(kFontStyles, name, "a font style"));
         fontOf(c).styles = std::move(styles);
         applyFont(c);
     }},
};

}  // namespace

// ---- TForm ----------------------------------------------------------------

namespace {

// The menu bar's height at a window width, worked out as the window's
// layout does it, so that it is right before the window was ever shown.
int menuBarHeight(const QMainWindow& window, int width)
{
    QWidget* bar = window.menuWidget();
    if (bar == nullptr || bar->isHidden())
        return 0;
    bar->ensurePolished();
    int height = bar->heightForWidth(std::max(width, bar->minimumWidth()));
    if (height < 0)
        height = bar->sizeHint().height();
    return height;
}

}  // namespace

TForm::TForm(TComponent* AOwner) : TControl(AOwner), peer_(std::make_unique<Peer>())
{
    vcl::prepareToolkit();
    auto* window = new FormWindow(*this);
    auto* area = new ClientArea;
    area->setFrameShape(QFrame::NoFrame);
    auto* surface = new ClientSurface;
    surface->resize(0, 0);
    area->setWidget(surface);
    window->setCentralWidget(area);
    peer_->window = window;
    peer_->scrollArea = area;
    peer_->client = surface;
}

TForm::~TForm()
{
    // The components' widgets live in the window: they go first.
    DestroyComponents();
    Application->FormDestroyed(this);
    delete peer_->window;
}

AnsiString TForm::GetCaption() const { return vcl::fromQString(peer_->window->windowTitle()); }
void TForm::SetCaption(AnsiString Value) { peer_->window->setWindowTitle(vcl::toQString(Value)); }

TControl::TBounds TForm::GetBounds() const
{
    const QRect frame = peer_->window->frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void TForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    // Qt places a window by its frame but sizes it without; the frame is
    // as large as the window system says at this moment, which before the
    // window is first shown is nothing: the window corrects its size once
    // it knows.
    QMainWindow& window = *peer_->window;
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    if (!window.isVisible())
        peer_->unframedBounds = QRect(ALeft, ATop, AWidth, AHeight);
    window.move(ALeft, ATop);
    window.resize(std::max(0, AWidth - frame.width()), std::max(0, AHeight - frame.height()));
}

int TForm::GetClientHeight() const
{
    const QMainWindow& window = *peer_->window;
    return window.height() - menuBarHeight(window, window.width());
}

void TForm::SetClientHeight(int Value)
{
    // A client size asked for replaces the outer size still waiting for the frame.
    peer_->unframedBounds.reset();
    QMainWindow& window = *peer_->window;
    window.resize(window.width(), Value + menuBarHeight(window, window.width()));
}

int TForm::GetClientWidth() const { return peer_->window->width(); }

void TForm::SetClientWidth(int Value)
{
    // A narrower window may wrap the menu bar; the client height stays.
    peer_->unframedBounds.reset();
    QMainWindow& window = *peer_->window;
    const int clientHeight = GetClientHeight();
    window.resize(Value, clientHeight + menuBarHeight(window, Value));
}

void TForm::SetMenu(TMainMenu* Value)
{
    // The window would delete a menu bar it lets go of; the menu keeps it.
    if (menu_ != nullptr)
        menu_->GetPeer().menuBar->setParent(nullptr);
    menu_ = Value;
    if (menu_ != nullptr)
        peer_->window->setMenuBar(menu_->GetPeer().menuBar);
}

void TForm::Show() { peer_->window->show(); }

void TForm::ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader)
{
    if (!ReadFromTable(kFormProperties, *this, PropName, Value, Reader))
        TControl::ReadProperty(PropName, Value, Reader);
}

// ---- TApplication ---------------------------------------------------------

TApplication* Application = new TApplication;

TApplication::TApplication() : TComponent(nullptr), peer_(std::make_unique<Peer>()) {}

TApplication::~TApplication() = default;

void TApplication::Initialize() { PrepareToolkit(); }

void TApplication::PrepareToolkit()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // The program takes no arguments; the toolkit gets none either.
    static int argc = 1;
    static char name[] = "lunidor";
    static char* argv[] = {name, nullptr};
    peer_->ownApplication = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The program's icon resource, as the library always looked it up.
    if (QFile::exists(QStringLiteral(":/icons/MAINICON")))
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/MAINICON")));
}

void TApplication::BuildForm(TForm& form, const TFormClass& formClass)
{
    ReadForm(form, formClass, ParseFormDescription(LoadFormResource(formClass.ClassName)));
}

void TApplication::FormCreated(TForm* form)
{
    if (mainForm_ == nullptr)
        mainForm_ = form;
}

void TApplication::FormDestroyed(TForm* form)
{
    if (mainForm_ == form)
        mainForm_ = nullptr;
}

void TApplication::Run()
{
    PrepareToolkit();
    if (mainForm_ != nullptr)
        mainForm_->Show();
    if (!terminated_)
        QApplication::exec();
    // The forms, then the toolkit, go when the program ends.  Registered
    // only now, the handler runs before the toolkit's own statics made
    // while the loop ran are destroyed; a host that never runs the loop
    // leaves all of it to the operating system.
    [[maybe_unused]] static const bool registered = std::atexit([] {
        Application->DestroyComponents();
        Application->peer_->ownApplication.reset();
    }) == 0;
}

void TApplication::Terminate()
{
    terminated_ = true;
    QCoreApplication::exit(0);
}

void TApplication::ShowException(Exception* E)
{
    PrepareToolkit();
    QMessageBox box(QMessageBox::Critical, vcl::toQString(Title), vcl::toQString(E->Message + "."),
                    QMessageBox::NoButton, vcl::dialogParent());
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    ok->setText(QStringLiteral("OK"));
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

void TApplication::HandleException(TObject*)
{
    try {
        throw;
    } catch (Exception& e) {
        ShowException(&e);
    } catch (const std::exception& e) {
        Exception shown(e.what());
        ShowException(&shown);
    } catch (...) {
        Exception shown("Unknown exception");
        ShowException(&shown);
    }
}

// ---- toolkit helpers ------------------------------------------------------

void vcl::prepareToolkit() { Application->Initialize(); }

QWidget* vcl::dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    const TForm* mainForm = Application->MainForm();
    return mainForm != nullptr ? mainForm->GetPeer().window : nullptr;
}
