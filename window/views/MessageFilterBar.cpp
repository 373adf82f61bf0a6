#include "window/views/MessageFilterBar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace truno::window {

namespace {

// Typing pauses this long before the list follows.
constexpr int kTypingPause = 300;

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
    problem_->setWordWrap(true);
    problem_->hide();

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(tr("&Text:"), text_), 0, 0);
    grid->addWidget(text_, 0, 1, 1, 3);
    grid->addWidget(notDecoded_, 0, 4);
    grid->addWidget(label(tr("T&ypes:"), types_), 1, 0);
    grid->addWidget(types_, 1, 1);
    grid->addWidget(label(tr("&CIC:"), codes_), 1, 2);
    grid->addWidget(codes_, 1, 3);
    grid->addWidget(reportToo_, 1, 4);
    grid->addWidget(label(tr("Rec&ords:"), records_), 2, 0);
    grid->addWidget(records_, 2, 1);
    grid->addWidget(callButton_, 2, 2, 1, 3, Qt::AlignLeft);
    grid->addWidget(problem_, 3, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

bool MessageFilterBar::read(ListFilter& filter) {
    ListFilter f;
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
    const std::string types = types_->text().trimmed().toStdString();
    if (!types.empty() && !parseTypeList(types, f.messages.types, error)) {
        fail(types_, error);
        f.messages.types = {};
    }
    const std::string codes = codes_->text().trimmed().toStdString();
    if (!codes.empty() && !parseCodeList(codes, f.messages.codes, error)) {
        fail(codes_, error);
        f.messages.codes = {};
    }
    const std::string records = records_->text().trimmed().toStdString();
    if (!records.empty() && !parseRecordRange(records, f.messages.firstRecord, f.messages.lastRecord, error)) {
        fail(records_, error);
        f.messages.firstRecord = ListFilter{}.messages.firstRecord;
        f.messages.lastRecord = ListFilter{}.messages.lastRecord;
    }
    problem_->setText(problems.isEmpty() ? QString() : tr("%1 The field marked is left out until it reads.").arg(problems));
    problem_->setVisible(!problems.isEmpty());
    f.messages.notDecodedOnly = notDecoded_->isChecked();
    f.messages.call = call_;
    f.text = text_->text();
    filter = f;
    return problems.isEmpty();
}

bool MessageFilterBar::reportToo() const { return reportToo_->isChecked(); }

void MessageFilterBar::setCall(std::uint64_t firstRecord, const QString& name) {
    call_ = firstRecord;
    callButton_->setText(name);
    callButton_->setVisible(firstRecord != 0);
}

void MessageFilterBar::clear() {
    for (QLineEdit* field : {text_, types_, codes_, records_}) {
        field->clear();
        field->setStyleSheet({});
    }
    const QSignalBlocker blocker(notDecoded_);
    notDecoded_->setChecked(false);
    setCall(0, {});
    problem_->hide();
}

}  // namespace truno::window
