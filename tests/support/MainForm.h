#pragma once

// The main form as start-up builds it, shown and active, for tests that
// drive the real widgets.

#include "Mag_Main.h"
#include "support/ModalDriver.h"
#include "vcl/qt/Peers.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollArea>

#include <memory>

namespace viewertest {

class MainFormTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QMainWindow& window() const { return *Form1->GetPeer().window; }
    QMenuBar& menuBar() const { return *window().menuBar(); }
    QScrollArea& clientArea() const { return *Form1->GetPeer().scrollArea; }
    ModalDriver& dialogs() { return *dialogs_; }

    // Alt+F, then the item's mnemonic letter, as a user opens the File menu.
    void chooseFromFileMenu(Qt::Key mnemonic);
    // File > Open, answering the open dialog by typing a name.
    void openByTyping(const std::string& path);

    // The client area as laid out once pending events have run.
    QSize clientSize() const;
    // What the window shows in its client area.
    QImage grabClient() const;

private:
    std::unique_ptr<ModalDriver> dialogs_;
};

}  // namespace viewertest
