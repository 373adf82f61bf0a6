#include "window/io/UserDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <climits>

namespace truno::window {

QString QtUserDialogs::chooseLogFile(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // "*" rather than "*.*": here "*.*" would hide the files without an extension.
    dialog.setNameFilters({QFileDialog::tr("Trace logs (*.log *.txt *.trc)"), QFileDialog::tr("All Files (*)")});
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

QString QtUserDialogs::chooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                                      const QStringList& filters) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectFile(suggested);
    const QString suffix = QFileInfo(suggested).suffix();
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

std::optional<std::uint64_t> QtUserDialogs::chooseRecord(QWidget* parent, std::uint64_t current,
                                                         std::uint64_t last) {
    const int top = static_cast<int>(std::min<std::uint64_t>(last, INT_MAX));
    bool ok = false;
    const int record = QInputDialog::getInt(
        parent, QInputDialog::tr("Go to Record"),
        QInputDialog::tr("Record number (1 to %1):").arg(QLocale().toString(static_cast<qulonglong>(top))),
        static_cast<int>(std::clamp<std::uint64_t>(current, 1, static_cast<std::uint64_t>(top))), 1, top, 1, &ok);
    if (!ok) return std::nullopt;
    return static_cast<std::uint64_t>(record);
}

std::optional<bool> QtUserDialogs::chooseShownOnly(QWidget* parent, std::uint64_t shown, std::uint64_t total) {
    QMessageBox box(QMessageBox::Question, QMessageBox::tr("Export"),
                    QMessageBox::tr("The message list shows %1 of the %2 messages. Which should the export write?")
                        .arg(QLocale().toString(static_cast<qulonglong>(shown)),
                             QLocale().toString(static_cast<qulonglong>(total))),
                    QMessageBox::Cancel, parent);
    QPushButton* shownButton = box.addButton(QMessageBox::tr("The %1 &shown").arg(QLocale().toString(static_cast<qulonglong>(shown))),
                                             QMessageBox::AcceptRole);
    QPushButton* allButton = box.addButton(QMessageBox::tr("&All %1").arg(QLocale().toString(static_cast<qulonglong>(total))),
                                           QMessageBox::AcceptRole);
    box.setDefaultButton(shownButton);
    box.exec();
    if (box.clickedButton() == shownButton) return true;
    if (box.clickedButton() == allButton) return false;
    return std::nullopt;
}

bool QtUserDialogs::setUpPrinter(QWidget* parent, QPrinter& printer, std::uint64_t pages) {
    QPrintDialog dialog(&printer, parent);
    const int last = static_cast<int>(std::min<std::uint64_t>(std::max<std::uint64_t>(pages, 1), INT_MAX));
    dialog.setMinMax(1, last);
    const QString count = QLocale().toString(static_cast<qulonglong>(pages));
    dialog.setWindowTitle(pages == 1 ? QPrintDialog::tr("Print the report: 1 page")
                                     : QPrintDialog::tr("Print the report: %1 pages").arg(count));
    return dialog.exec() == QDialog::Accepted;
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
