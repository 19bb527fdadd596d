#include "support/MainForm.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

namespace viewertest {

void MainFormTest::SetUp()
{
    Application->Initialize();
    Application->Title = "Lunidor";
    Application->CreateForm(&Form1);
    ASSERT_NE(Form1, nullptr);
    Form1->Show();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    dialogs_ = std::make_unique<ModalDriver>();
}

void MainFormTest::TearDown()
{
    dialogs_.reset();
    delete Form1;
    Form1 = nullptr;
}

void MainFormTest::chooseFromFileMenu(Qt::Key mnemonic)
{
    // A window system gives the focus back to the window when a dialog
    // closes; the offscreen one waits to be asked.
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window(), Qt::Key_F, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "Alt+F opened no menu";
    QTest::keyClick(menu, mnemonic);
}

void MainFormTest::openByTyping(const std::string& path)
{
    dialogs().then(typeFileName(QString::fromStdString(path)));
    chooseFromFileMenu(Qt::Key_O);
}

QSize MainFormTest::clientSize() const
{
    QCoreApplication::processEvents();
    return clientArea().size();
}

QImage MainFormTest::grabClient() const
{
    QCoreApplication::processEvents();
    return clientArea().grab().toImage();
}

}  // namespace viewertest
