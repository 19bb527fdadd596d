#pragma once

// Answers the modal dialogs that the code under test opens, the way a user
// at the keyboard would, and notes what each showed.  A timer on the user
// interface thread looks for a new active modal widget; it fires inside the
// dialog's own nested event loop, so the code under test runs unchanged.

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <vector>

namespace viewertest {

// What a dialog showed when the driver met it.
struct SeenDialog {
    QString kind;  // "message" or "file"
    QString title;
    // Message boxes.
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool firstButtonIsDefaultAndEscape = false;
    // File dialogs.
    QString directory;
    QString typedName;  // the contents of the name box
    QStringList filters;  // as the list shows them
    int selectedFilter = -1;
};

class ModalDriver {
public:
    using Answer = std::function<void(QWidget* dialog)>;

    ModalDriver();

    // The next dialog to appear gets this answer.  A dialog that finds no
    // answer waiting is noted and cancelled, so a test never hangs on it.
    ModalDriver& then(Answer answer);

    const std::vector<SeenDialog>& seen() const { return seen_; }
    std::size_t unanswered() const { return answers_.size(); }

private:
    void poll();

    QTimer timer_;
    std::deque<Answer> answers_;
    std::vector<SeenDialog> seen_;
    QPointer<QWidget> current_;
};

// Answers.
ModalDriver::Answer typeFileName(const QString& name);  // replace the name box, then Enter
ModalDriver::Answer pressEnter();                      // the default button
ModalDriver::Answer pressEscape();                     // cancel

}  // namespace viewertest
