#pragma once
// The window's conversations with the user (the file dialogs, the record number, the print
// dialog and the message boxes) behind one small interface, so that another implementation can
// answer them without a human.
#include "window/log/JourneysJob.h"
#include "window/log/MessageLimit.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

class QPrinter;
class QWidget;

namespace truno::window {

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // The log file to open, as a full path, the dialog starting in `folder`; empty when the user
    // cancels.
    virtual QString chooseLogFile(QWidget* parent, const QString& folder) = 0;
    // One log file or several to open as one log, as full paths; none when the user cancels.
    // Unless answered otherwise, the one file chooseLogFile() gives.
    virtual QStringList chooseLogFiles(QWidget* parent, const QString& folder) {
        const QString path = chooseLogFile(parent, folder);
        return path.isEmpty() ? QStringList() : QStringList(path);
    }
    // A file to write, `suggested` proposed, of one of the types in `filters`; empty when the
    // user cancels.
    virtual QString chooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                                   const QStringList& filters) = 0;
    // A record number from 1 to `last`, `current` proposed; none when the user cancels.
    virtual std::optional<std::uint64_t> chooseRecord(QWidget* parent, std::uint64_t current,
                                                      std::uint64_t last) = 0;
    // Whether an export writes the `shown` messages the filter shows (true, the default) or all
    // `total` of them (false); none when the user cancels.
    virtual std::optional<bool> chooseShownOnly(QWidget* parent, std::uint64_t shown, std::uint64_t total) = 0;
    // The print dialog for `printer`, for a report of `pages` pages as the printer is set now;
    // false when the user cancels.
    virtual bool setUpPrinter(QWidget* parent, QPrinter& printer, std::uint64_t pages) = 0;
    // Whether a followed log keeps only its last messages, and how many, `current` proposed;
    // none when the user cancels.
    virtual std::optional<MessageLimit> chooseMessageLimit(QWidget* parent, const MessageLimit& current) = 0;
    // Where each trace of a network was taken (its switch and the far switch), `traces` prefilled
    // and changed in place; false when the user cancels. Unless answered otherwise, as prefilled.
    virtual bool chooseTraceEnds(QWidget* /*parent*/, std::vector<TraceToRead>& /*traces*/) { return true; }
    // A modal box with an OK button.
    virtual void showInformation(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void showError(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The standard Qt dialogs.
class QtUserDialogs final : public UserDialogs {
public:
    QString chooseLogFile(QWidget* parent, const QString& folder) override;
    QStringList chooseLogFiles(QWidget* parent, const QString& folder) override;
    QString chooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                           const QStringList& filters) override;
    std::optional<std::uint64_t> chooseRecord(QWidget* parent, std::uint64_t current,
                                              std::uint64_t last) override;
    std::optional<bool> chooseShownOnly(QWidget* parent, std::uint64_t shown, std::uint64_t total) override;
    bool setUpPrinter(QWidget* parent, QPrinter& printer, std::uint64_t pages) override;
    std::optional<MessageLimit> chooseMessageLimit(QWidget* parent, const MessageLimit& current) override;
    bool chooseTraceEnds(QWidget* parent, std::vector<TraceToRead>& traces) override;
    void showInformation(QWidget* parent, const QString& title, const QString& text) override;
    void showError(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace truno::window
