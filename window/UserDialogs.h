#pragma once
// The window's conversations with the user (the Open dialog and the message boxes) behind one
// small interface, so that another implementation can answer them without a human.
#include <QString>

class QWidget;

namespace truno::window {

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // The log file to open, as a full path; empty when the user cancels.
    virtual QString chooseLogFile(QWidget* parent) = 0;
    // A modal box with an OK button.
    virtual void showInformation(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void showError(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The standard Qt dialogs.
class QtUserDialogs final : public UserDialogs {
public:
    QString chooseLogFile(QWidget* parent) override;
    void showInformation(QWidget* parent, const QString& title, const QString& text) override;
    void showError(QWidget* parent, const QString& title, const QString& text) override;

private:
    QString lastDirectory_;
};

}  // namespace truno::window
