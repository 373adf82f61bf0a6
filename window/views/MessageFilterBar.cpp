#include "window/views/MessageFilterBar.h"

#include "analysis/filters/ShorthandFilters.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCompleter>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStringListModel>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <string>

namespace truno::window {

namespace {

// Typing pauses this long before the list follows.
constexpr int kTypingPause = 300;
// How many recent and saved expressions are kept.
constexpr int kRecentCount = 10;
constexpr int kSavedCount = 8;
const QString kRecentKey = QStringLiteral("filter/recentExpressions");
const QString kSavedKey = QStringLiteral("filter/savedExpressions");

// Where the key under the cursor begins: after the last character that cannot be in a key.
int keyStart(const QString& text, int cursor) {
    int at = cursor;
    while (at > 0) {
        const QChar c = text.at(at - 1);
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('.')) break;
        --at;
    }
    return at;
}

}  // namespace

MessageFilterBar::MessageFilterBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("messageFilterBar"));
    auto* pause = new QTimer(this);
    pause->setSingleShot(true);
    pause->setInterval(kTypingPause);
    connect(pause, &QTimer::timeout, this, &MessageFilterBar::changed);

    const auto edit = [this, pause](const char* name, const QString& hint, const QString& tip) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(name));
        field->setPlaceholderText(hint);
        field->setToolTip(tip);
        field->setClearButtonEnabled(true);
        connect(field, &QLineEdit::textEdited, pause, qOverload<>(&QTimer::start));
        connect(field, &QLineEdit::returnPressed, this, [this, pause] {
            pause->stop();
            emit changed();
        });
        return field;
    };
    expression_ = edit("filterExpression", tr("Expression: type == REL and cause in {17 34} and cic in {10..30}"),
                       tr("A filter expression over the message's keys and fields, as truno-decode --where takes "
                          "it (docs/filters.md). Green: it reads; red: it does not, and the error says why."));
    {
        QStringList keys;
        for (const std::string& key : filterKeyNames()) keys << QString::fromStdString(key);
        completer_ = new QCompleter(new QStringListModel(keys, this), this);
        completer_->setObjectName(QStringLiteral("filterKeyCompleter"));
        completer_->setCaseSensitivity(Qt::CaseInsensitive);
        completer_->setCompletionMode(QCompleter::PopupCompletion);
        completer_->setWidget(expression_);
        connect(expression_, &QLineEdit::textEdited, this, &MessageFilterBar::completeKey);
        connect(completer_, qOverload<const QString&>(&QCompleter::activated), this, &MessageFilterBar::insertKey);
    }
    historyMenu_ = new QMenu(this);
    connect(historyMenu_, &QMenu::aboutToShow, this, &MessageFilterBar::fillHistoryMenu);
    historyButton_ = new QToolButton(this);
    historyButton_->setObjectName(QStringLiteral("filterHistory"));
    historyButton_->setText(tr("Recent"));
    historyButton_->setToolTip(tr("Recent and saved expressions"));
    historyButton_->setPopupMode(QToolButton::InstantPopup);
    historyButton_->setMenu(historyMenu_);
    text_ = edit("filterText", tr("Text in the facts: a number, a cause phrase..."),
                 tr("Shows the messages whose field labels or values hold this text (any case)."));
    types_ = edit("filterTypes", tr("IAM,REL"), tr("Message types, by acronym, separated by commas."));
    codes_ = edit("filterCodes", tr("1,5,10-20"), tr("Call instance codes and ranges of them."));
    records_ = edit("filterRecords", tr("100-200"), tr("Records N, N-M, N- or -M."));
    notDecoded_ = new QCheckBox(tr("&Not decoded"), this);
    notDecoded_->setObjectName(QStringLiteral("filterNotDecoded"));
    connect(notDecoded_, &QCheckBox::toggled, this, &MessageFilterBar::changed);
    reportToo_ = new QCheckBox(tr("&Report too"), this);
    reportToo_->setObjectName(QStringLiteral("filterReportToo"));
    reportToo_->setToolTip(tr("The report shows only the matching records as well."));
    connect(reportToo_, &QCheckBox::toggled, this, &MessageFilterBar::reportTooToggled);
    callButton_ = new QToolButton(this);
    callButton_->setObjectName(QStringLiteral("filterCall"));
    callButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    callButton_->setIcon(QIcon::fromTheme(QStringLiteral("edit-clear"), style()->standardIcon(QStyle::SP_DialogResetButton)));
    callButton_->setToolTip(tr("The list shows one call's messages; click to show all."));
    callButton_->hide();
    connect(callButton_, &QToolButton::clicked, this, [this] {
        setCall(0, {});
        emit changed();
    });
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("filterProblem"));
    problem_->setStyleSheet(QStringLiteral("color: #a00000"));
    problem_->setWordWrap(false);
    problem_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    problem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problem_->hide();

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(tr("&Where:"), expression_), 0, 0);
    grid->addWidget(expression_, 0, 1, 1, 3);
    grid->addWidget(historyButton_, 0, 4);
    grid->addWidget(label(tr("&Text:"), text_), 1, 0);
    grid->addWidget(text_, 1, 1, 1, 3);
    grid->addWidget(notDecoded_, 1, 4);
    grid->addWidget(label(tr("T&ypes:"), types_), 2, 0);
    grid->addWidget(types_, 2, 1);
    grid->addWidget(label(tr("&CIC:"), codes_), 2, 2);
    grid->addWidget(codes_, 2, 3);
    grid->addWidget(reportToo_, 2, 4);
    grid->addWidget(label(tr("Rec&ords:"), records_), 3, 0);
    grid->addWidget(records_, 3, 1);
    grid->addWidget(callButton_, 3, 2, 1, 3, Qt::AlignLeft);
    grid->addWidget(problem_, 4, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

bool MessageFilterBar::read(ListFilter& filter) {
    std::string error;
    QString problems;
    // A field that does not read is marked and left out: the list follows the fields that do,
    // so that clearing them shows more, not the filter of before.
    const auto fail = [&problems](QLineEdit* field, const std::string& why) {
        if (!problems.isEmpty()) problems += QLatin1Char(' ');
        problems += QString::fromStdString(why);
        field->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #c00000; }"));
    };
    for (QLineEdit* field : {types_, codes_, records_}) field->setStyleSheet({});
    problem_->hide();
    // The boxes become the expressions of the command line's --type, --cic, --records and
    // --not-decoded, and the call chosen `call == N`.
    ShorthandFilters boxes;
    const std::string types = types_->text().trimmed().toStdString();
    if (!types.empty() && !parseTypeList(types, boxes.types, error)) {
        fail(types_, error);
        boxes.types.reset();
    }
    const std::string codes = codes_->text().trimmed().toStdString();
    if (!codes.empty() && !parseCodeList(codes, boxes.codes, error)) {
        fail(codes_, error);
        boxes.codes.clear();
    }
    const std::string records = records_->text().trimmed().toStdString();
    RecordRange range;
    if (!records.empty() && !parseRecordRange(records, range.first, range.last, error))
        fail(records_, error);
    else if (range.first != RecordRange{}.first || range.last != RecordRange{}.last)  // every record: no filter
        boxes.records.push_back(range);
    boxes.notDecoded = notDecoded_->isChecked();
    boxes.call = call_;
    auto selection = std::make_shared<MessageSelection>();
    compileShorthand(boxes, selection->where);

    std::string expressionProblem;
    heldExpression_.clear();
    const QString expression = expression_->text().trimmed();
    if (!expression.isEmpty()) {
        FilterExpression compiled;
        FilterError problem;
        const std::string text = expression.toStdString();
        if (!compiled.compile(text, problem))
            expressionProblem = describeFilterError(text, problem);
        else if (compiled.usesCallKeys())
            expressionProblem = "the call keys (call.outcome, ...) are not asked of the message list; "
                                "use truno-decode --calls --where";
        if (expressionProblem.empty()) {
            lastExpression_ = text;
            remember(expression);
            selection->where.push_back(std::move(compiled));
        } else if (!lastExpression_.empty() && compiled.compile(lastExpression_, problem)) {
            // An expression that does not compile leaves the list filtered by the last one that did
            // (the status bar says so).
            selection->where.push_back(std::move(compiled));
            heldExpression_ = lastExpression_;
        }
    } else {
        lastExpression_.clear();
    }
    markExpression(expressionProblem.empty());
    QString shown = problems.isEmpty() ? QString() : tr("%1 The field marked is left out until it reads.").arg(problems);
    if (!expressionProblem.empty()) {
        if (!shown.isEmpty()) shown += QLatin1Char('\n');
        shown += QString::fromStdString(expressionProblem);
    }
    problem_->setText(shown);
    problem_->setVisible(!shown.isEmpty());
    filter.selection = selection->active() ? std::move(selection) : nullptr;
    filter.text = text_->text();
    return problems.isEmpty() && expressionProblem.empty();
}

bool MessageFilterBar::reportToo() const { return reportToo_->isChecked(); }

void MessageFilterBar::setCall(std::uint64_t firstRecord, const QString& name) {
    call_ = firstRecord;
    callButton_->setText(name);
    callButton_->setVisible(firstRecord != 0);
}

void MessageFilterBar::markExpression(bool valid) {
    if (expression_->text().trimmed().isEmpty()) {
        expression_->setStyleSheet({});
        return;
    }
    expression_->setStyleSheet(valid ? QStringLiteral("QLineEdit { background: #d8f5d0; }")
                                     : QStringLiteral("QLineEdit { background: #f8d0d0; }"));
}

void MessageFilterBar::completeKey() {
    const QString text = expression_->text();
    const int cursor = expression_->cursorPosition();
    const int start = keyStart(text, cursor);
    const QString prefix = text.mid(start, cursor - start);
    if (prefix.isEmpty() || prefix.at(0).isDigit()) {
        completer_->popup()->hide();
        return;
    }
    completer_->setCompletionPrefix(prefix);
    if (completer_->completionCount() == 0 ||
        (completer_->completionCount() == 1 && completer_->currentCompletion() == prefix)) {
        completer_->popup()->hide();
        return;
    }
    completer_->complete();
}

void MessageFilterBar::insertKey(const QString& key) {
    QString text = expression_->text();
    const int cursor = expression_->cursorPosition();
    const int start = keyStart(text, cursor);
    text.replace(start, cursor - start, key);
    expression_->setText(text);
    expression_->setCursorPosition(static_cast<int>(start + key.size()));
}

QStringList MessageFilterBar::recentExpressions() const { return QSettings().value(kRecentKey).toStringList(); }

QStringList MessageFilterBar::savedExpressions() const { return QSettings().value(kSavedKey).toStringList(); }

void MessageFilterBar::remember(const QString& expression) {
    if (expression == lastRemembered_) return;
    lastRemembered_ = expression;
    QStringList recent = recentExpressions();
    recent.removeAll(expression);
    recent.prepend(expression);
    while (recent.size() > kRecentCount) recent.removeLast();
    QSettings().setValue(kRecentKey, recent);
}

void MessageFilterBar::saveExpression() {
    const QString expression = expression_->text().trimmed();
    if (expression.isEmpty()) return;
    QStringList saved = savedExpressions();
    saved.removeAll(expression);
    saved.prepend(expression);
    while (saved.size() > kSavedCount) saved.removeLast();
    QSettings().setValue(kSavedKey, saved);
}

void MessageFilterBar::fillHistoryMenu() {
    historyMenu_->clear();
    const auto use = [this](const QString& expression) {
        expression_->setText(expression);
        emit changed();
    };
    const QStringList saved = savedExpressions();
    historyMenu_->addSection(tr("Saved"));
    for (const QString& e : saved) historyMenu_->addAction(e, this, [use, e] { use(e); });
    QAction* save = historyMenu_->addAction(tr("Save This Expression"), this, &MessageFilterBar::saveExpression);
    save->setEnabled(!expression_->text().trimmed().isEmpty());
    historyMenu_->addSection(tr("Recent"));
    for (const QString& e : recentExpressions()) historyMenu_->addAction(e, this, [use, e] { use(e); });
}

void MessageFilterBar::clear() {
    for (QLineEdit* field : {expression_, text_, types_, codes_, records_}) {
        field->clear();
        field->setStyleSheet({});
    }
    const QSignalBlocker blocker(notDecoded_);
    notDecoded_->setChecked(false);
    setCall(0, {});
    problem_->hide();
}

}  // namespace truno::window
