#include "window/app/StatusLine.h"

#include "window/app/WindowParts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

namespace truno::window {

namespace {

// How long a passing message stays in the status bar.
constexpr int kMessageMilliseconds = 6000;

}  // namespace

BusyPointer::BusyPointer() { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }
BusyPointer::~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }

StatusLine::StatusLine(QMainWindow* window) : QObject(window), window_(window) {
    summary_ = new QLabel(window);
    summary_->setObjectName(QStringLiteral("statusText"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    window->statusBar()->addWidget(summary_, 1);
    shown_ = new QLabel(window);
    shown_->setObjectName(QStringLiteral("shownText"));
    window->statusBar()->addPermanentWidget(shown_);
    counts_ = new QLabel(window);
    counts_->setObjectName(QStringLiteral("countsText"));
    window->statusBar()->addPermanentWidget(counts_);
    mode_ = new QLabel(window);
    mode_->setObjectName(QStringLiteral("modeText"));
    window->statusBar()->addPermanentWidget(mode_);

    progress_ = new QProgressBar(window);
    progress_->setObjectName(QStringLiteral("runProgress"));
    progress_->setMaximumWidth(240);
    progress_->hide();
    window->statusBar()->addPermanentWidget(progress_);

    cancel_ = new QPushButton(tr("Cancel"), window);
    cancel_->setObjectName(QStringLiteral("runCancel"));
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, &StatusLine::cancelClicked);
    window->statusBar()->addPermanentWidget(cancel_);
}

void StatusLine::setSummary(const QString& text) { summary_->setText(text); }

void StatusLine::setMode(const QString& text) { mode_->setText(text); }

QString StatusLine::summary() const { return summary_->text(); }

void StatusLine::setCounts(const QString& text) { counts_->setText(text); }

void StatusLine::setShown(std::uint64_t shown, std::uint64_t total, bool lastOnly, const QString& heldExpression) {
    if (total == 0) {
        shown_->clear();
        return;
    }
    QString text = lastOnly ? tr("%1 of the last %2 messages shown").arg(countText(shown), countText(total))
                            : tr("%1 of %2 messages shown").arg(countText(shown), countText(total));
    if (!heldExpression.isEmpty())
        text += tr(", still by the previous expression (%1): the one typed does not read").arg(heldExpression);
    shown_->setText(text);
}

QString StatusLine::shown() const { return shown_->text(); }

void StatusLine::tell(const QString& message) const { window_->statusBar()->showMessage(message, kMessageMilliseconds); }

void StatusLine::showProgress(int maximum, const QString& format) {
    progress_->setRange(0, maximum);
    progress_->setValue(0);
    progress_->setFormat(format);
    progress_->show();
    cancel_->setEnabled(true);
    cancel_->show();
}

void StatusLine::setProgress(int value) { progress_->setValue(value); }

void StatusLine::endProgress() {
    busy_.reset();
    progress_->hide();
    cancel_->hide();
}

}  // namespace truno::window
