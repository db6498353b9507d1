// Our stand-in for the common dialog control of the background dialog: the
// colour dialog and the open-file dialog, with the control's properties.
//
// The caller sets the properties, calls ShowColor or ShowOpen, and reads the
// properties back. Each Show returns an error number: 0 when the dialog ended
// with a choice (or was cancelled while CancelError is off, in which case no
// property changes), cdlCancel when it was cancelled while CancelError is on,
// and any other number for a failure of the dialog itself.
//
// Tests derive their own to script what the player picks.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

// The error a cancelled dialog reports when CancelError is on.
constexpr int cdlCancel = 32755;
// Only a file that exists may be picked.
constexpr int cdlOFNFileMustExist = 4096;

class CommonDialog {
public:
    virtual ~CommonDialog() = default;

    bool CancelError = false;
    int32_t Color = 0;  // &HBBGGRR
    QString DialogTitle;
    QString Filter;       // "description|pattern|description|pattern|..."
    int FilterIndex = 0;  // counted from 1
    QString FileName;
    int Flags = 0;
    QWidget* Owner = nullptr;  // the window the dialogs are modal over

    virtual int ShowColor() = 0;
    virtual int ShowOpen() = 0;
};

// One entry of a filter list: what the player reads and the pattern.
struct FileFilter {
    QString Description;
    QString Pattern;
};

// Splits "desc|pattern|desc|pattern" into its pairs; a trailing description
// without a pattern is dropped.
QList<FileFilter> ParseFilter(const QString& filter);

// A wildcard pattern that matches the same names without regard to case:
// "*.JPG" becomes "*.[jJ][pP][gG]". Several patterns may be separated by ";".
QString CaseBlindPattern(const QString& pattern);

// Qt's own dialogs remember their folder, history, view and custom colours
// in a file that every Qt program of the user shares. The game keeps nothing
// of theirs between runs: from here on that file is neither read (it may be
// anything another program left) nor written.
void ForgetQtDialogStateBetweenRuns();

// The common dialogs on Qt's own colour and file dialogs.
class QtCommonDialog final : public CommonDialog {
public:
    int ShowColor() override;
    int ShowOpen() override;

    // The name filters handed to the file dialog, in the filter list's
    // order: "description (case-blind patterns)".
    static QStringList NameFilters(const QString& filter);
};
