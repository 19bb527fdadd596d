// A user at the keyboard, for tests that run the real program.  Qt loads
// it into the program as a generic plugin when the environment asks for
// it (QT_QPA_GENERIC_PLUGINS=lunidordriver:SCRIPT); the program itself knows
// nothing of it.  Once the main window shows, the driver prints its title
// on standard output and then acts out the script:
//   exit   Alt+F, then X
//   close  closes the window as its close box does
// A driver that finds nothing to do in time ends the process with code 99.

#include <QGenericPlugin>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kGiveUpMs = 20000;

QWindow* visibleWindow(Qt::WindowType type)
{
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (window->isVisible() && window->type() == type)
            return window;
    return nullptr;
}

[[noreturn]] void giveUp(const char* why)
{
    std::fprintf(stdout, "driver: %s\n", why);
    std::fflush(stdout);
    std::_Exit(99);
}

class Driver : public QObject {
public:
    explicit Driver(QString script) : script_(std::move(script))
    {
        QTimer::singleShot(kGiveUpMs, this, [] { giveUp("the program did not end"); });
        connect(&poll_, &QTimer::timeout, this, [this] { step(); });
        poll_.start(20);
    }

private:
    void step()
    {
        QWindow* window = visibleWindow(Qt::Window);
        if (window == nullptr || !window->isExposed())
            return;
        poll_.stop();
        std::fprintf(stdout, "title=%s\n", window->title().toUtf8().constData());
        std::fflush(stdout);
        window->requestActivate();
        if (!QTest::qWaitForWindowActive(window))
            giveUp("the main window did not become active");
        if (script_ == QLatin1String("exit"))
            chooseExit(window);
        else if (script_ == QLatin1String("close"))
            window->close();
        else
            giveUp("unknown script");
    }

    static void chooseExit(QWindow* window)
    {
        QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);
        QWindow* menu = nullptr;
        if (!QTest::qWaitFor([&menu] { return (menu = visibleWindow(Qt::Popup)) != nullptr; }, 5000))
            giveUp("Alt+F opened no menu");
        QTest::keyClick(menu, Qt::Key_X);
    }

    QString script_;
    QTimer poll_;
};

}  // namespace

class LunidorDriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "driver.json")

public:
    QObject* create(const QString&, const QString& script) override { return new Driver(script); }
};

#include "LunidorDriver.moc"
