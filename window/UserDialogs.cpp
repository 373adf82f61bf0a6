#include "window/UserDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace truno::window {

QString QtUserDialogs::chooseLogFile(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("log"));
    // "*" rather than "*.*": here "*.*" would hide the files without an extension.
    dialog.setNameFilters({QFileDialog::tr("Log files (*.log)"), QFileDialog::tr("All Files (*)")});
    if (!lastDirectory_.isEmpty()) dialog.setDirectory(lastDirectory_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString path = QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
    lastDirectory_ = QFileInfo(path).absolutePath();
    return path;
}

void QtUserDialogs::showInformation(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtUserDialogs::showError(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace truno::window
