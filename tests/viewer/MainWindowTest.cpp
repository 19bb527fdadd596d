// The main window as start-up leaves it: built from its stored
// description, before any Open.

#include "support/MainForm.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeySequence>
#include <QMenu>
#include <QTest>

using namespace viewertest;

namespace {

using MainWindow = MainFormTest;

TEST_F(MainWindow, IsTitledLunidorAndSitsWhereTheDescriptionPutsIt)
{
    EXPECT_EQ(AnsiString(Form1->Caption), "Lunidor");
    EXPECT_EQ(window().windowTitle(), QString("Lunidor"));
    EXPECT_EQ(Application->MainForm(), Form1);
    // The outer frame: without a window manager there is no frame around it.
    EXPECT_EQ(int(Form1->Left), 200);
    EXPECT_EQ(int(Form1->Top), 107);
    EXPECT_EQ(int(Form1->Width), 435);
    EXPECT_EQ(int(Form1->Height), 300);
    EXPECT_EQ(window().frameGeometry(), QRect(200, 107, 435, 300));
}

TEST_F(MainWindow, ClientAreaLiesBelowTheMenuBarAndHoldsTheEmptyPictureAtItsCorner)
{
    // The client area is what the frame and the menu bar leave of 435 by 300.
    const int menuHeight = menuBar().height();
    EXPECT_GT(menuHeight, 0);
    const QSize inside = window().size();
    EXPECT_EQ(window().frameGeometry().size() - inside, QSize(4, 4));  // the offscreen platform's frame
    EXPECT_EQ(clientSize(), QSize(inside.width(), inside.height() - menuHeight));
    EXPECT_EQ(int(Form1->ClientWidth), inside.width());
    EXPECT_EQ(int(Form1->ClientHeight), inside.height() - menuHeight);
    EXPECT_EQ(clientArea().mapTo(&window(), QPoint(0, 0)), QPoint(0, menuHeight));

    EXPECT_EQ(int(Form1->Image1->Left), 0);
    EXPECT_EQ(int(Form1->Image1->Top), 0);
    EXPECT_EQ(int(Form1->Image1->Width), 105);
    EXPECT_EQ(int(Form1->Image1->Height), 105);
    EXPECT_TRUE(Form1->Image1->AutoSize);
    EXPECT_EQ(Form1->Image1->Picture->Graphic, nullptr);
    QWidget* image = Form1->Image1->GetPeer().widget;
    EXPECT_EQ(image->mapTo(&clientArea(), QPoint(0, 0)), QPoint(0, 0));

    // Nothing is drawn: the client area is its background colour throughout.
    const QImage shot = grabClient();
    const QRgb background = shot.pixel(0, 0);
    EXPECT_EQ(shot.pixel(104, 104), background);
    EXPECT_EQ(shot.pixel(200, 150), background);
}

TEST_F(MainWindow, FileMenuHoldsOpenASeparatorAndExitWithMnemonicsAndNoShortcuts)
{
    EXPECT_EQ(AnsiString(Form1->KF1->Caption), "ファイル(&F)");
    EXPECT_EQ(AnsiString(Form1->menuFileOpen->Caption), "開く(&O)");
    EXPECT_EQ(AnsiString(Form1->N1->Caption), "-");
    EXPECT_EQ(AnsiString(Form1->menuExit->Caption), "終了(&X)");
    EXPECT_EQ(Form1->Menu, Form1->MainMenu);

    const QList<QAction*> bar = menuBar().actions();
    ASSERT_EQ(bar.size(), 1);
    EXPECT_EQ(bar[0]->text(), QString("ファイル(&F)"));
    EXPECT_EQ(QKeySequence::mnemonic(bar[0]->text()), QKeySequence(Qt::ALT | Qt::Key_F));
    ASSERT_NE(bar[0]->menu(), nullptr);

    const QList<QAction*> items = bar[0]->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QString("開く(&O)"));
    EXPECT_EQ(QKeySequence::mnemonic(items[0]->text()), QKeySequence(Qt::ALT | Qt::Key_O));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), QString("終了(&X)"));
    EXPECT_EQ(QKeySequence::mnemonic(items[2]->text()), QKeySequence(Qt::ALT | Qt::Key_X));
    for (QAction* action : {bar[0], items[0], items[1], items[2]})
        EXPECT_TRUE(action->shortcuts().isEmpty()) << action->text().toStdString();
}

TEST_F(MainWindow, AltFOpensTheFileMenuAndNoKeyRunsACommandWithoutIt)
{
    // The items' letters on their own, and with Alt or Ctrl, do nothing
    // while the menu is closed.
    for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::AltModifier),
                                            Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        for (Qt::Key key : {Qt::Key_O, Qt::Key_X}) {
            QTest::keyClick(&window(), key, modifiers);
            EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        }
    }
    EXPECT_TRUE(dialogs().seen().empty());
    EXPECT_FALSE(Application->Terminated());

    QTest::keyClick(&window(), Qt::Key_F, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu, menuBar().actions()[0]->menu());
    QTest::keyClick(menu, Qt::Key_Escape);
}

TEST_F(MainWindow, JapaneseTextsHaveAFontThatCoversThem)
{
    // "ＭＳ Ｐゴシック" is not on this system; the form falls back to a
    // Japanese face at a character height of 12 pixels.
    const QFont font = window().font();
    ASSERT_GE(font.families().size(), 2);
    EXPECT_EQ(font.families()[0], QString("ＭＳ Ｐゴシック"));
    EXPECT_EQ(font.pixelSize(), 12);
    const QFontInfo used(font);
    EXPECT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).contains(used.family())) << used.family().toStdString();
    const QFontMetrics metrics(menuBar().font());
    for (const char* text : {"ファイル", "開く", "終了", "警告"})
        EXPECT_TRUE(metrics.inFontUcs4(QString(text).toUcs4()[0])) << text;
}

TEST_F(MainWindow, CarriesTheThirtyTwoPixelIconAsApplicationAndWindowIcon)
{
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    const QImage image = icon.pixmap(32, 32).toImage();
    EXPECT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(window().windowIcon().cacheKey(), icon.cacheKey());
}

TEST_F(MainWindow, OpenDialogStartsWithTheDescribedFilterAndNoName)
{
    EXPECT_EQ(Form1->OpenDialog->Filter, "MAG FILES (*.mag)|*.mag|ALL FILES (*.*)|*.*");
    EXPECT_EQ(Form1->OpenDialog->FilterIndex, 1);
    EXPECT_EQ(Form1->OpenDialog->FileName, "");
    EXPECT_EQ(Form1->OpenDialog->FileEditStyle, fsEdit);
}

}  // namespace
