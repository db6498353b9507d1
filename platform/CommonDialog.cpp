#include "CommonDialog.h"

#include "BgrColour.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QSettings>

QList<FileFilter> ParseFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QList<FileFilter> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) pairs.append({parts[i], parts[i + 1]});
    return pairs;
}

QString CaseBlindPattern(const QString& pattern) {
    QStringList blind;
    for (const QString& one : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString out;
        for (const QChar c : one.trimmed()) {
            const QChar lower = c.toLower(), upper = c.toUpper();
            if (lower != upper)
                out += QLatin1Char('[') + lower + upper + QLatin1Char(']');
            else
                out += c;
        }
        blind.append(out);
    }
    return blind.join(QLatin1Char(' '));
}

void ForgetQtDialogStateBetweenRuns() {
    // No file can lie under /dev/null and no folder can be made there: Qt
    // finds nothing to read, and its writes fail at once, taking no lock.
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}

QStringList QtCommonDialog::NameFilters(const QString& filter) {
    QStringList names;
    for (const FileFilter& f : ParseFilter(filter))
        names.append(f.Description + QStringLiteral(" (") + CaseBlindPattern(f.Pattern) + QLatin1Char(')'));
    return names;
}

int QtCommonDialog::ShowColor() {
    QColorDialog dialog(ColourFromBgr(Color), Owner);
    if (dialog.exec() != QDialog::Accepted) return CancelError ? cdlCancel : 0;
    Color = BgrFromColour(dialog.selectedColor());
    return 0;
}

int QtCommonDialog::ShowOpen() {
    QFileDialog dialog(Owner, DialogTitle);
    // Qt's own dialog, so the case-blind patterns behave the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((Flags & cdlOFNFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList names = NameFilters(Filter);
    dialog.setNameFilters(names);
    if (FilterIndex >= 1 && FilterIndex <= names.size()) dialog.selectNameFilter(names[FilterIndex - 1]);
    if (!FileName.isEmpty()) dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted) return CancelError ? cdlCancel : 0;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return CancelError ? cdlCancel : 0;
    FileName = files.first();
    FilterIndex = int(names.indexOf(dialog.selectedNameFilter())) + 1;
    return 0;
}
