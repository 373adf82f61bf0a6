#include "window/io/UserDialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTableWidget>
#include <QHeaderView>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace truno::window {

namespace {

// The Open dialog: one existing file, or several.
QStringList chooseExisting(QWidget* parent, const QString& folder, QFileDialog::FileMode mode) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mode);
    // "*" rather than "*.*": here "*.*" would hide the files without an extension.
    // Rotated parts (trace.log.1, trace.log.2) end in their number.
    // Captures are told by their first bytes, as logs are: the filters only offer their names.
    dialog.setNameFilters({QFileDialog::tr("Trace logs and captures (*.log *.txt *.trc *.log.* *.pcap *.pcapng *.cap "
                                           "*.pcap.gz *.pcapng.gz *.cap.gz)"),
                           QFileDialog::tr("Trace logs (*.log *.txt *.trc *.log.*)"),
                           QFileDialog::tr("Packet captures (*.pcap *.pcapng *.cap *.pcap.gz *.pcapng.gz *.cap.gz)"),
                           QFileDialog::tr("All Files (*)")});
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    QStringList chosen;
    if (dialog.exec() != QDialog::Accepted) return chosen;
    for (const QString& file : dialog.selectedFiles()) chosen << QFileInfo(file).absoluteFilePath();
    return chosen;
}

}  // namespace

QString QtUserDialogs::chooseLogFile(QWidget* parent, const QString& folder) {
    const QStringList chosen = chooseExisting(parent, folder, QFileDialog::ExistingFile);
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

QStringList QtUserDialogs::chooseLogFiles(QWidget* parent, const QString& folder) {
    return chooseExisting(parent, folder, QFileDialog::ExistingFiles);
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

std::optional<MessageLimit> QtUserDialogs::chooseMessageLimit(QWidget* parent, const MessageLimit& current) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QDialog::tr("Following Limit"));
    auto* keep = new QCheckBox(QDialog::tr("&Keep only the last"), &dialog);
    keep->setObjectName(QStringLiteral("keepLastBox"));
    keep->setChecked(current.on);
    auto* count = new QSpinBox(&dialog);
    count->setObjectName(QStringLiteral("keepLastCount"));
    count->setRange(static_cast<int>(MessageLimit::kLowest), static_cast<int>(MessageLimit::kHighest));
    count->setGroupSeparatorShown(true);
    count->setValue(static_cast<int>(std::clamp(current.count, MessageLimit::kLowest, MessageLimit::kHighest)));
    count->setEnabled(current.on);
    QObject::connect(keep, &QCheckBox::toggled, count, &QSpinBox::setEnabled);
    auto* row = new QHBoxLayout;
    row->addWidget(keep);
    row->addWidget(count);
    row->addWidget(new QLabel(QDialog::tr("messages of a followed log"), &dialog));
    row->addStretch(1);
    auto* note = new QLabel(QDialog::tr("As new messages arrive, the oldest leave the message list, the report and "
                                        "the calls, so that memory stays bounded however long the log is followed. "
                                        "The counts, the statistics and the health go on counting every message."),
                            &dialog);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addWidget(note);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return MessageLimit{.on = keep->isChecked(), .count = static_cast<std::uint64_t>(count->value())};
}

bool QtUserDialogs::chooseTraceEnds(QWidget* parent, std::vector<TraceToRead>& traces) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QDialog::tr("Traces of a Network"));
    auto* note = new QLabel(QDialog::tr("Where was each trace taken? At its switch, on the trunk to the far switch: "
                                        "DIR S is its switch sending to the far one. Leave a capture's switches "
                                        "empty: its point codes tell them."),
                            &dialog);
    note->setWordWrap(true);
    auto* table = new QTableWidget(static_cast<int>(traces.size()), 3, &dialog);
    table->setObjectName(QStringLiteral("traceEndsTable"));
    table->setHorizontalHeaderLabels({QDialog::tr("Trace"), QDialog::tr("Switch"), QDialog::tr("Far Switch")});
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    const auto fill = [table, &traces] {
        for (int row = 0; row < static_cast<int>(traces.size()); ++row) {
            const TraceToRead& t = traces[static_cast<std::size_t>(row)];
            auto* file = new QTableWidgetItem(QFileInfo(t.path).fileName());
            file->setFlags(file->flags() & ~Qt::ItemIsEditable);
            file->setToolTip(t.path);
            table->setItem(row, 0, file);
            table->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(t.ends.self)));
            table->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(t.ends.far)));
            if (t.capture) {
                table->item(row, 1)->setToolTip(QDialog::tr("The capture's point code: its first message's OPC unless given"));
                table->item(row, 2)->setToolTip(QDialog::tr("Each leg's far end is its IAM's DPC"));
            }
        }
        table->resizeColumnsToContents();
    };
    fill();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* network = buttons->addButton(QDialog::tr("&Network File..."), QDialogButtonBox::ActionRole);
    QObject::connect(network, &QPushButton::clicked, &dialog, [&] {
        const QString file = QFileDialog::getOpenFileName(&dialog, QDialog::tr("Network File"),
                                                          traces.empty() ? QString() : QFileInfo(traces.front().path).absolutePath());
        if (file.isEmpty()) return;
        QStringList paths;
        for (const TraceToRead& t : traces) paths << t.path;
        traces = prefilledTraces(paths, file);
        fill();
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(note);
    layout->addWidget(table, 1);
    layout->addWidget(buttons);
    dialog.resize(560, 120 + 30 * static_cast<int>(traces.size()));
    if (dialog.exec() != QDialog::Accepted) return false;
    for (int row = 0; row < static_cast<int>(traces.size()); ++row) {
        answerTraceEnds(traces[static_cast<std::size_t>(row)], table->item(row, 1)->text(), table->item(row, 2)->text());
    }
    return true;
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
