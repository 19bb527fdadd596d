#include "support/ModalDriver.h"

#include "vcl/qt/Peers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace viewertest {
namespace {

SeenDialog describe(QWidget* dialog)
{
    SeenDialog seen;
    seen.title = dialog->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        seen.kind = "message";
        seen.text = box->text();
        seen.icon = box->icon();
        const QList<QAbstractButton*> buttons = box->buttons();
        for (QAbstractButton* button : buttons)
            seen.buttons << button->text();
        seen.firstButtonIsDefaultAndEscape = !buttons.isEmpty() && box->defaultButton() == buttons.first() &&
                                             box->escapeButton() == buttons.first();
    } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        seen.kind = "file";
        seen.directory = files->directory().absolutePath();
        if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            seen.typedName = name->text();
        if (auto* types = files->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            for (int i = 0; i < types->count(); ++i)
                seen.filters << types->itemText(i);
            seen.selectedFilter = types->currentIndex();
        }
    } else {
        seen.kind = dialog->metaObject()->className();
    }
    return seen;
}

}  // namespace

ModalDriver::ModalDriver()
{
    // The timer needs the toolkit's application object.
    vcl::prepareToolkit();
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
}

ModalDriver& ModalDriver::then(Answer answer)
{
    answers_.push_back(std::move(answer));
    return *this;
}

void ModalDriver::poll()
{
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || dialog == current_ || !dialog->isVisible())
        return;
    current_ = dialog;
    // A window system gives a new dialog the focus; the offscreen one waits
    // to be asked.
    dialog->activateWindow();
    if (!QTest::qWaitFor([dialog] { return dialog->isActiveWindow(); }, 2000))
        qWarning("the dialog did not become the active window");
    seen_.push_back(describe(dialog));
    if (answers_.empty()) {
        pressEscape()(dialog);
        return;
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    answer(dialog);
}

ModalDriver::Answer typeFileName(const QString& name)
{
    return [name](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit == nullptr) {
            pressEscape()(dialog);
            return;
        }
        // Typed character by character, a path makes the dialog wander
        // through the folders it names while it reads them in the
        // background; the name box is filled at once instead.  It has the
        // focus, as when a user types, so the name replaces whatever file the
        // dialog offered.
        edit->setFocus(Qt::OtherFocusReason);
        edit->setText(name);
        QTest::keyClick(dialog, Qt::Key_Return);
    };
}

ModalDriver::Answer pressEnter()
{
    return [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); };
}

ModalDriver::Answer pressEscape()
{
    return [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); };
}

}  // namespace viewertest
