#include "qtdialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QRegularExpression>

namespace common {

namespace {

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

int toAnswer(int button)
{
    switch (button) {
    case QMessageBox::Ok: return AnswerOk;
    case QMessageBox::Yes: return AnswerYes;
    case QMessageBox::No: return AnswerNo;
    case QMessageBox::Abort: return AnswerAbort;
    case QMessageBox::Retry: return AnswerRetry;
    case QMessageBox::Ignore: return AnswerIgnore;
    default: return AnswerCancel;
    }
}

} // namespace

QStringList patternsOfFilter(const QString &filter)
{
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    QStringList result;
    if (open < 0 || close < open)
        return result;
    static const QRegularExpression separators(QStringLiteral("[ ;]"));
    for (const QString &p : filter.mid(open + 1, close - open - 1).split(separators, Qt::SkipEmptyParts))
        result.append(p == QLatin1String("*.*") ? QStringLiteral("*") : p);
    return result;
}

namespace {

// Matching by the label's meaning, and in a save dialog a name typed without extension completed with the
// extension of the chosen type.
void followFilter(QFileDialog &dialog, const QString &filter, bool completeSuffix)
{
    const QStringList patterns = patternsOfFilter(filter);
    if (auto *model = dialog.findChild<QFileSystemModel *>())
        model->setNameFilters(patterns);
    if (completeSuffix && !patterns.isEmpty() && patterns.constFirst().startsWith(QLatin1String("*."))
        && patterns.constFirst().indexOf(QLatin1Char('*'), 1) < 0)
        dialog.setDefaultSuffix(patterns.constFirst().mid(2));
}

FileChoice run(QFileDialog &dialog, const FileRequest &request)
{
    // The platform's own dialog would match the patterns its own way.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(request.title);
    dialog.setNameFilters(request.filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.selectedFilter));
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.directory.isEmpty())
        dialog.setDirectory(request.directory);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    const bool completeSuffix = dialog.acceptMode() == QFileDialog::AcceptSave && !request.defaultSuffix.isEmpty();
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, completeSuffix](const QString &filter) { followFilter(dialog, filter, completeSuffix); });
    followFilter(dialog, dialog.selectedNameFilter(), completeSuffix);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().constFirst(), int(request.filters.indexOf(dialog.selectedNameFilter()))};
}

} // namespace

int QtDialogs::message(const QString &text, const QString &caption, Buttons buttons, Icon icon)
{
    QMessageBox box(toQt(icon), caption.isEmpty() ? defaultCaption() : caption, text);
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    box.setWindowModality(Qt::ApplicationModal);
    return toAnswer(box.exec());
}

FileChoice QtDialogs::openFile(const FileRequest &request)
{
    return choose(request, true);
}

FileChoice QtDialogs::saveFile(const FileRequest &request)
{
    return choose(request, false);
}

FileChoice QtDialogs::choose(const FileRequest &request, bool opening)
{
    QFileDialog dialog;
    dialog.setAcceptMode(opening ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(opening ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // Open and save share one dialog: each starts in the folder the other last chose.
    FileRequest r = request;
    if (r.directory.isEmpty())
        r.directory = m_lastDirectory;
    FileChoice choice = run(dialog, r);
    if (!choice.cancelled())
        m_lastDirectory = QFileInfo(choice.path).absolutePath();
    return choice;
}

} // namespace common
