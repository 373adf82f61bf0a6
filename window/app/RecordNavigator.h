#pragma once
// Moving through the records of the log on screen: Go to Record, the next and previous record
// that was not decoded, and keeping the message list and the report in step (a row chosen shows
// its record; a move in the report chooses its row).
#include <QObject>

#include <cstdint>

namespace truno::window {

struct WindowParts;

class RecordNavigator : public QObject {
    Q_OBJECT

public:
    explicit RecordNavigator(WindowParts& parts, QObject* parent = nullptr);

    void goToRecord();
    void nextNotDecoded();
    void previousNotDecoded();
    // Chooses the row of `record` in the list and shows the record.
    void chooseRecord(std::uint64_t record);
    // The list's row follows the place in the report.
    void followReport();

private:
    void showRecord(std::uint64_t number);
    // Says that `record` was let go by a followed log that keeps its last messages.
    void tellLetGo(std::uint64_t record);
    void listRowChanged();

    WindowParts& parts_;
    bool following_ = false;  // the list and the report are being brought in step
};

}  // namespace truno::window
