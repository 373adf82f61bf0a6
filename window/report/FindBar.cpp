#include "window/report/FindBar.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace truno::window {

namespace {

// One slice of a search: bytes looked at between two checks of the clock, and the time a slice
// may take before the window handles its events again.
constexpr std::size_t kSliceBytes = std::size_t{1} << 20;
constexpr qint64 kSliceMilliseconds = 15;

QIcon themeIcon(const QWidget* widget, const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name), widget->style()->standardIcon(fallback));
}

}  // namespace

FindBar::FindBar(ReportView* view, QWidget* parent) : QWidget(parent), view_(view) {
    setObjectName(QStringLiteral("findBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);

    auto* label = new QLabel(tr("F&ind:"), this);
    findText_ = new QLineEdit(this);
    findText_->setObjectName(QStringLiteral("findText"));
    findText_->setClearButtonEnabled(true);
    findText_->setMinimumWidth(240);
    findText_->installEventFilter(this);
    label->setBuddy(findText_);

    previous_ = new QToolButton(this);
    previous_->setObjectName(QStringLiteral("findPrevious"));
    previous_->setIcon(themeIcon(this, "go-up", QStyle::SP_ArrowUp));
    previous_->setToolTip(tr("Find the previous match (Shift+F3)"));
    next_ = new QToolButton(this);
    next_->setObjectName(QStringLiteral("findNext"));
    next_->setIcon(themeIcon(this, "go-down", QStyle::SP_ArrowDown));
    next_->setToolTip(tr("Find the next match (F3)"));

    matchCase_ = new QCheckBox(tr("&Match case"), this);
    matchCase_->setObjectName(QStringLiteral("matchCase"));

    findStatus_ = new QLabel(this);
    findStatus_->setObjectName(QStringLiteral("findStatus"));

    auto* closeButton = new QToolButton(this);
    closeButton->setObjectName(QStringLiteral("findClose"));
    closeButton->setIcon(themeIcon(this, "window-close", QStyle::SP_TitleBarCloseButton));
    closeButton->setToolTip(tr("Close the find bar (Esc)"));
    closeButton->setAutoRaise(true);

    layout->addWidget(label);
    layout->addWidget(findText_);
    layout->addWidget(previous_);
    layout->addWidget(next_);
    layout->addWidget(matchCase_);
    layout->addWidget(findStatus_, 1);
    layout->addWidget(closeButton);

    connect(findText_, &QLineEdit::textEdited, this, &FindBar::textEdited);
    connect(findText_, &QLineEdit::returnPressed, this, &FindBar::findNext);
    connect(previous_, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(next_, &QToolButton::clicked, this, &FindBar::findNext);
    connect(matchCase_, &QCheckBox::toggled, this, [this] {
        updateMatcher();
        textEdited();
    });
    connect(closeButton, &QToolButton::clicked, this, &FindBar::close);
    // Offsets into a report that is no longer shown mean nothing.
    connect(view_, &ReportView::documentReplaced, this, [this] {
        stop();
        say({});
    });
    // A followed log let the report's start go: a search in progress starts again where the view
    // is, as its offsets moved (once the window is done letting go).
    connect(view_, &ReportView::textDropped, this, [this] {
        if (!isSearching()) return;
        stop();
        QMetaObject::invokeMethod(this, [this] {
            if (isHidden()) return;
            start(view_->offsetOf(view_->currentPosition()),
                  backward_ ? ReportSearch::Direction::Backward : ReportSearch::Direction::Forward);
        }, Qt::QueuedConnection);
    });
    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &FindBar::step);
    hide();
}

QString FindBar::text() const { return findText_->text(); }

void FindBar::open() {
    show();
    findText_->setFocus(Qt::ShortcutFocusReason);
    findText_->selectAll();
    updateMatcher();
}

void FindBar::close() {
    stop();
    hide();
    view_->setHighlight(nullptr);
    view_->setFocus(Qt::OtherFocusReason);
}

void FindBar::escape() {
    if (isSearching()) {
        stop();
        say(tr("Search stopped"));
    } else {
        close();
    }
}

void FindBar::updateMatcher() {
    matcher_ = std::make_shared<const TextMatcher>(findText_->text(), matchCase_->isChecked());
    view_->setHighlight(isVisible() ? matcher_ : nullptr);
}

void FindBar::textEdited() {
    updateMatcher();
    if (matcher_->empty()) {
        stop();
        say({});
        return;
    }
    // As the text is typed, the match grows where it is, or moves on to the next place.
    const ReportView::Position from = view_->hasSelection() ? view_->selectionStart() : view_->currentPosition();
    start(view_->offsetOf(from), ReportSearch::Direction::Forward);
}

void FindBar::findNext() {
    if (isHidden() || findText_->text().isEmpty()) {
        open();
        if (findText_->text().isEmpty()) return;
    }
    const ReportView::Position from = view_->hasSelection() ? view_->selectionEnd() : view_->currentPosition();
    start(view_->offsetOf(from), ReportSearch::Direction::Forward);
}

void FindBar::findPrevious() {
    if (isHidden() || findText_->text().isEmpty()) {
        open();
        if (findText_->text().isEmpty()) return;
    }
    const ReportView::Position from = view_->hasSelection() ? view_->selectionStart() : view_->currentPosition();
    start(view_->offsetOf(from), ReportSearch::Direction::Backward);
}

void FindBar::start(std::size_t from, ReportSearch::Direction direction) {
    stop();
    if (!matcher_ || matcher_->text() != findText_->text()) updateMatcher();
    search_ = std::make_unique<ReportSearch>(view_->document(), matcher_, from, direction);
    backward_ = direction == ReportSearch::Direction::Backward;
    step();
}

void FindBar::step() {
    if (!search_) return;
    QElapsedTimer clock;
    clock.start();
    while (!search_->advance(kSliceBytes)) {
        if (clock.elapsed() >= kSliceMilliseconds) {
            const std::size_t size = std::max<std::size_t>(view_->document().size(), 1);
            say(tr("Searching... %1 %").arg(std::min<std::size_t>(99, search_->searched() * 100 / size)));
            slices_.start();
            return;
        }
    }
    slices_.stop();
    const std::optional<TextMatcher::Hit> hit = search_->match();
    const bool wrapped = search_->wrapped();
    search_.reset();
    if (!hit) {
        // What was selected is no match: only the place stays, for the next search.
        view_->setSelection(view_->selectionStart(), view_->selectionStart());
        say(tr("No match"));
        emit searchEnded(false);
        return;
    }
    view_->showSelection(view_->positionOf(hit->offset), view_->positionOf(hit->offset + hit->length));
    if (!wrapped)
        say({});
    else
        say(backward_ ? tr("Went on from the end of the report") : tr("Went on from the start of the report"));
    emit searchEnded(true);
}

void FindBar::stop() {
    slices_.stop();
    search_.reset();
}

void FindBar::say(const QString& text) { findStatus_->setText(text); }

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    // Shift+Enter in the text finds backwards.
    if (watched == findText_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ShiftModifier)) {
            findPrevious();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace truno::window
