#pragma once
// The filter above the message list: message types, call instance codes, a record range, not
// decoded only, and free text; a call chosen in the calls tab shows as a button that clears it;
// and whether the report too shows only the matching records. A condition that does not read
// is marked and explained, and left out of the filter until it reads.
#include "window/views/MessageList.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace truno::window {

class MessageFilterBar : public QWidget {
    Q_OBJECT

public:
    explicit MessageFilterBar(QWidget* parent = nullptr);

    // The filter as the fields say; a field that does not read is left out of it (and marked, with
    // the reason shown), and the answer is then false.
    bool read(ListFilter& filter);
    bool reportToo() const;
    // The call whose messages the list shows (its first record); 0: any.
    void setCall(std::uint64_t firstRecord, const QString& name);
    std::uint64_t call() const { return call_; }
    // Empties every field.
    void clear();

    QLineEdit* typesEdit() const { return types_; }
    QLineEdit* codesEdit() const { return codes_; }
    QLineEdit* recordsEdit() const { return records_; }
    QLineEdit* textEdit() const { return text_; }
    QCheckBox* reportTooBox() const { return reportToo_; }

signals:
    // A field changed (text fields after a short pause, or Return).
    void changed();
    void reportTooToggled(bool on);

private:
    QLineEdit* types_ = nullptr;
    QLineEdit* codes_ = nullptr;
    QLineEdit* records_ = nullptr;
    QLineEdit* text_ = nullptr;
    QCheckBox* notDecoded_ = nullptr;
    QCheckBox* reportToo_ = nullptr;
    QToolButton* callButton_ = nullptr;
    QLabel* problem_ = nullptr;
    std::uint64_t call_ = 0;
};

}  // namespace truno::window
