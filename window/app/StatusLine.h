#pragma once
// The main window's status bar: the summary of the log shown, its counts, passing messages, and
// while a run, a save, an export or a print goes on, its progress with a Cancel button.
#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;

namespace truno::window {

// The busy pointer, shown for as long as one of these lives.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

class StatusLine : public QObject {
    Q_OBJECT

public:
    // Fills the status bar of `window`.
    explicit StatusLine(QMainWindow* window);

    void setSummary(const QString& text);
    QString summary() const;
    void setCounts(const QString& text);
    // How logs are read: BICC (four-octet call instance codes) or ISUP (two-octet circuit codes).
    void setMode(const QString& text);
    // "N of M messages shown": the message list's rows of the messages read, or (`lastOnly`) of
    // the last messages a followed log keeps; `heldExpression`: the filter expression the list is
    // still filtered by because the one typed does not read (said after the counts).
    void setShown(std::uint64_t shown, std::uint64_t total, bool lastOnly = false, const QString& heldExpression = {});
    QString shown() const;
    // A message that stays for a few seconds.
    void tell(const QString& message) const;

    // Shows the progress bar (`maximum` 0: no known end) with its Cancel button.
    void showProgress(int maximum, const QString& format);
    void setProgress(int value);
    // The busy pointer, until endProgress().
    void showBusy() { busy_.emplace(); }
    // Hides the progress bar and its button and ends the busy pointer.
    void endProgress();

signals:
    void cancelClicked();

private:
    QMainWindow* window_;
    QLabel* summary_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* mode_ = nullptr;
    QLabel* shown_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::optional<BusyPointer> busy_;
};

}  // namespace truno::window
