#include "vcl/Dialogs.h"

#include "vcl/FormReader.h"
#include "vcl/Forms.h"
#include "vcl/qt/Peers.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <array>
#include <utility>
#include <vector>

namespace {

struct MessageKind {
    const char* caption;  // empty: the application's title
    QMessageBox::Icon icon;
};

// Captions and icons of the message types, as the Japanese library shows them.
constexpr std::array<MessageKind, 5> kMessageKinds = {{
    /* mtWarning */ {"警告", QMessageBox::Warning},
    /* mtError */ {"エラー", QMessageBox::Critical},
    /* mtInformation */ {"情報", QMessageBox::Information},
    /* mtConfirmation */ {"確認", QMessageBox::Question},
    /* mtCustom */ {"", QMessageBox::NoIcon},
}};

struct ButtonKind {
    QMessageBox::StandardButton button;
    const char* text;
    int result;
};

constexpr std::array<ButtonKind, 1> kButtons = {{
    /* mbOK */ {QMessageBox::Ok, "OK", mrOk},
}};

}  // namespace

int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int /*HelpCtx*/)
{
    vcl::prepareToolkit();
    const MessageKind& kind = kMessageKinds.at(static_cast<std::size_t>(DlgType));
    const AnsiString caption = *kind.caption != '\0' ? AnsiString(kind.caption) : Application->Title;
    QMessageBox box(kind.icon, vcl::toQString(caption), vcl::toQString(Msg), QMessageBox::NoButton,
                    vcl::dialogParent());
    std::vector<std::pair<QPushButton*, int>> results;
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (!Buttons.Contains(static_cast<TMsgDlgBtn>(i)))
            continue;
        QPushButton* button = box.addButton(kButtons[i].button);
        button->setText(QString::fromUtf8(kButtons[i].text));
        results.emplace_back(button, kButtons[i].result);
    }
    if (!results.empty()) {
        box.setDefaultButton(results.front().first);
        box.setEscapeButton(results.front().first);
    }
    box.exec();
    for (const auto& [button, result] : results)
        if (box.clickedButton() == button)
            return result;
    return mrOk;
}

namespace {

struct FilterPair {
    QString text;
    QString patterns;
};

// "text|pattern|text|pattern": a trailing text without a pattern is dropped.
std::vector<FilterPair> splitFilter(const AnsiString& filter)
{
    const QStringList parts = vcl::toQString(filter).split(u'|');
    std::vector<FilterPair> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        pairs.push_back({parts[i], parts[i + 1]});
    return pairs;
}

// Qt's filter string for one pair: the text with the patterns in brackets
// behind it, hidden in the list.  The old patterns are separated by ";" and
// "*.*" meant every file, with or without a dot in its name.
QString qtNameFilter(const FilterPair& pair)
{
    QStringList patterns = pair.patterns.split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        pattern = pattern.trimmed();
        if (pattern == u"*.*")
            pattern = QStringLiteral("*");
    }
    return pair.text + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

const PropertyEntry<TOpenDialog> kOpenDialogProperties[] = {
    {"Filter", [](TOpenDialog& c, const TFormValue& v, TFormReader&) { c.Filter = v.AsString(); }},
    {"FilterIndex", [](TOpenDialog& c, const TFormValue& v, TFormReader&) { c.FilterIndex = v.AsInteger(); }},
    {"FileEditStyle",
     [](TOpenDialog& c, const TFormValue& v, TFormReader&) {
         if (v.AsIdentifier() != "fsEdit")
             throw Exception("fsEdit was expected");
         c.FileEditStyle = fsEdit;
     }},
};

}  // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TOpenDialog::Execute()
{
    vcl::prepareToolkit();
    QFileDialog dialog(vcl::dialogParent());
    // Qt's own dialog everywhere: a native one could not be told to accept
    // a typed name of a missing file while it offers the previous path.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);

    QStringList nameFilters;
    QStringList texts;
    for (const FilterPair& pair : splitFilter(Filter)) {
        nameFilters << qtNameFilter(pair);
        texts << pair.text.trimmed();
    }
    dialog.setNameFilters(nameFilters);
    if (FilterIndex >= 1 && FilterIndex <= nameFilters.size())
        dialog.selectNameFilter(nameFilters[FilterIndex - 1]);

    if (FileName.empty())
        dialog.setDirectory(QDir::currentPath());
    else
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(FileName)));

    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    FileName = QFile::encodeName(chosen.first()).toStdString();
    // With the patterns hidden, Qt names the selected filter by its text.
    const QString selected = dialog.selectedNameFilter();
    qsizetype filter = nameFilters.indexOf(selected);
    if (filter < 0)
        filter = texts.indexOf(selected);
    if (filter >= 0)
        FilterIndex = static_cast<int>(filter) + 1;
    return true;
}

void TOpenDialog::ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader)
{
    if (!ReadFromTable(kOpenDialogProperties, *this, PropName, Value, Reader))
        TComponent::ReadProperty(PropName, Value, Reader);
}
