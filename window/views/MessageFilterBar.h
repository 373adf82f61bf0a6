#pragma once
// The filter above the message list: a filter expression (docs/filters.md: green when it
// compiles, red with the error when not; field keys completed as they are typed; recent and
// saved expressions kept across starts), message types, call instance codes, a record range, not
// decoded only, and free text; a call chosen in the calls tab shows as a button that clears it;
// and whether the report too shows only the matching records. A condition that does not read
// is marked and explained, and left out of the filter until it reads.
#include "window/views/MessageList.h"

#include <QWidget>

#include <string>

class QCheckBox;
class QCompleter;
class QLabel;
class QLineEdit;
class QMenu;
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
    // The expression the list is still filtered by while the one in the field does not read (the
    // last one that did); empty when none is held.
    QString heldExpression() const { return QString::fromStdString(heldExpression_); }
    // Empties every field.
    void clear();

    QLineEdit* typesEdit() const { return types_; }
    QLineEdit* codesEdit() const { return codes_; }
    QLineEdit* recordsEdit() const { return records_; }
    QLineEdit* textEdit() const { return text_; }
    QLineEdit* expressionEdit() const { return expression_; }
    QCompleter* keyCompleter() const { return completer_; }
    // Recent expressions (newest first) and saved ones, as kept in the settings.
    QStringList recentExpressions() const;
    QStringList savedExpressions() const;
    // Keeps the expression shown among the saved ones.
    void saveExpression();
    QCheckBox* reportTooBox() const { return reportToo_; }

signals:
    // A field changed (text fields after a short pause, or Return).
    void changed();
    void reportTooToggled(bool on);

private:
    // Marks the expression field: valid (green), not (red, with the error), or empty.
    void markExpression(bool valid);
    void completeKey();
    void insertKey(const QString& key);
    void remember(const QString& expression);
    void fillHistoryMenu();

    QLineEdit* expression_ = nullptr;
    // The last expression that compiled: the list keeps it while the field holds one that does not.
    std::string lastExpression_;
    std::string heldExpression_;  // lastExpression_ while it stands in for the field's
    QCompleter* completer_ = nullptr;
    QToolButton* historyButton_ = nullptr;
    QMenu* historyMenu_ = nullptr;
    QString lastRemembered_;
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
